#include "GatewaySession.h"

#include "platform/UiServices.h"
#include "ports/PortEngine.h"
#include "terminal/Terminal.h"

#include <QCoreApplication>

CGatewaySession::CGatewaySession(CTerminal &terminal)
    : QObject(&terminal)
    , m_terminal(terminal)
    , m_upload(*this)
{
    setObjectName(QStringLiteral("gatewaySession"));
    connect(&m_upload, &CGatewayUpload::abandoned, this, &CGatewaySession::reportAbandonedUpload);
}

CGatewaySession &CGatewaySession::of(CTerminal &terminal)
{
    if (auto *session
        = terminal.findChild<CGatewaySession *>(QString(), Qt::FindDirectChildrenOnly))
        return *session;
    return *new CGatewaySession(terminal);
}

bool CGatewaySession::isRunning() const
{
    return m_terminal.isRunning();
}

int CGatewaySession::write(const QByteArray &bytes)
{
    CPortEngine *port = m_terminal.currentPort();
    return port ? port->Write(bytes.constData(), static_cast<int>(bytes.size())) : 0;
}

void CGatewaySession::echoSent(const QByteArray &bytes)
{
    m_terminal.echoSent(bytes);
}

void CGatewaySession::startSendProgress(int blocks)
{
    m_terminal.StartSendProgress(blocks);
}

void CGatewaySession::reportAbandonedUpload(int rows)
{
    uiServices().beep();
    uiServices().messageBox(
        tr("The terminal was stopped during the pause after \"ERASE!\". The gateway's group "
           "address table has been erased, but the new definitions were not sent.\n\n"
           "Definitions not sent: %1")
            .arg(rows),
        QCoreApplication::translate("CGatewayDlg", "Media Gateway configuration"),
        UiServices::Icon::Warning);
}
