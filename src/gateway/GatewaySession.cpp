#include "GatewaySession.h"

#include "display/RuKTerminalView.h"
#include "frame/MainFrame.h"
#include "gateway/GatewayDlg.h"
#include "platform/UiServices.h"
#include "ports/PortEngine.h"

CGatewaySession::CGatewaySession(CMainFrame &frame)
    : QObject(&frame)
    , m_frame(frame)
    , m_upload(*this)
{
    setObjectName(QStringLiteral("gatewaySession"));
    connect(&m_upload, &CGatewayUpload::abandoned, this, &CGatewaySession::reportAbandonedUpload);
}

CGatewaySession &CGatewaySession::of(CMainFrame &frame)
{
    if (auto *session = frame.findChild<CGatewaySession *>(QString(), Qt::FindDirectChildrenOnly))
        return *session;
    return *new CGatewaySession(frame);
}

void CGatewaySession::OnMediaGateway(CMainFrame &frame)
{
    CGatewaySession &session = of(frame);
    CGatewayDlg dialog(session, session.upload(), frame.iniPath(), frame.programDir(), &frame);
    dialog.exec();
}

bool CGatewaySession::isRunning() const
{
    return m_frame.isRunning();
}

int CGatewaySession::write(const QByteArray &bytes)
{
    CPortEngine *port = m_frame.currentPort();
    return port ? port->Write(bytes.constData(), static_cast<int>(bytes.size())) : 0;
}

void CGatewaySession::echoSent(const QByteArray &bytes)
{
    if (CRuKTerminalView *view = m_frame.view())
        view->AppendToDisplay(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                              static_cast<int>(bytes.size()), false);
}

void CGatewaySession::startSendProgress(int blocks)
{
    m_frame.StartSendProgress(blocks);
}

void CGatewaySession::reportAbandonedUpload(int rows)
{
    uiServices().beep();
    uiServices().messageBox(
        tr("The terminal was stopped during the pause after \"ERASE!\". The gateway's group "
           "address table has been erased, but the new definitions were not sent.\n\n"
           "Definitions not sent: %1")
            .arg(rows),
        CGatewayDlg::tr("Media Gateway configuration"), UiServices::Icon::Warning);
}
