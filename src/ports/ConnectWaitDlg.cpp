#include "ConnectWaitDlg.h"

#include "platform/StringTable.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CConnectWaitDlg::CConnectWaitDlg(std::atomic<int> *cancelFlag, int socketType, QWidget *parent)
    : QDialog(parent)
    , m_pCancelFlag(cancelFlag)
    , m_nSocketType(socketType)
{
    setModal(false);
    setWindowTitle(tr("Opening connection..."));

    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("waitText"));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setText(m_nSocketType == 1 ? tr("Waiting for incoming connection...")
                                       : loadString(StringId::WaitingForUdp));

    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    // Not a default button: Enter must not end the wait.
    m_cancel->setAutoDefault(false);
    m_cancel->setDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &CConnectWaitDlg::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

CConnectWaitDlg::~CConnectWaitDlg() = default;

QString CConnectWaitDlg::waitText() const
{
    return m_text->text();
}

void CConnectWaitDlg::reject()
{
    // Stays open: the port closes it once it has seen the flag.
    if (m_pCancelFlag)
        m_pCancelFlag->store(1);
}

void CConnectWaitDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CConnectWaitDlg::closeEvent(QCloseEvent *event)
{
    reject();
    event->ignore();
}

CConnectWaitUi::~CConnectWaitUi()
{
    endPeerWait();
    endConnect();
}

void CConnectWaitUi::lockWindow()
{
    m_reenable = m_window && m_window->isEnabled();
    if (m_window)
        m_window->setEnabled(false);
}

void CConnectWaitUi::unlockWindow()
{
    if (m_window && m_reenable) {
        m_window->setEnabled(true);
        m_window->activateWindow();
    }
    m_reenable = false;
}

void CConnectWaitUi::beginConnect()
{
    lockWindow();
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    m_cursor = true;
}

void CConnectWaitUi::endConnect()
{
    if (m_cursor)
        QGuiApplication::restoreOverrideCursor();
    m_cursor = false;
    unlockWindow();
}

void CConnectWaitUi::beginPeerWait(int socketType, std::atomic<int> *cancel)
{
    lockWindow();
    m_dialog = new CConnectWaitDlg(cancel, socketType, m_window);
    // Its own window: disabling the owner must not reach it.
    m_dialog->setEnabled(true);
    m_dialog->show();
}

void CConnectWaitUi::endPeerWait()
{
    delete m_dialog.data();
    unlockWindow();
}
