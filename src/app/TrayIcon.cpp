#include "TrayIcon.h"

#include "dialogs/ProgramIcons.h"
#include "frame/MainFrame.h"
#include "platform/StringTable.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>

CTrayIcon::CTrayIcon(CMainFrame *frame, bool available)
    : QObject(frame)
    , m_frame(frame)
    , m_available(available)
    , m_icon(new QSystemTrayIcon(programIcon(), this))
    , m_menu(new QMenu)
{
    m_icon->setToolTip(QStringLiteral("ORBATerminal"));
    m_show = m_menu->addAction(tr("Show ORBATerminal"), this, &CTrayIcon::OnTrayShow);
    m_show->setData(kShowId);
    m_show->setStatusTip(commandPrompt(kShowId));
    m_close = m_menu->addAction(tr("Close ORBATerminal"), this, &CTrayIcon::OnTrayClose);
    m_close->setData(kCloseId);
    m_close->setStatusTip(commandPrompt(kCloseId));
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, &CTrayIcon::OnActivated);
    m_frame->installEventFilter(this);
}

CTrayIcon::~CTrayIcon()
{
    // A menu of a tray icon has no parent widget to take it along.
    delete m_menu;
}

bool CTrayIcon::isShown() const
{
    return m_icon->isVisible();
}

QAction *CTrayIcon::action(int id) const
{
    return id == kShowId ? m_show : id == kCloseId ? m_close : nullptr;
}

bool CTrayIcon::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_frame && event->type() == QEvent::WindowStateChange && m_available
        && m_frame->isMinimized()) {
        // Hidden once the minimizing is done, not in the middle of it.
        QTimer::singleShot(0, this, &CTrayIcon::hideInTray);
    }
    return QObject::eventFilter(watched, event);
}

void CTrayIcon::hideInTray()
{
    if (!m_frame->isMinimized())
        return;
    m_icon->show();
    m_frame->hide();
}

void CTrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick)
        OnTrayShow();
}

void CTrayIcon::OnTrayShow()
{
    m_icon->hide();
    m_frame->setWindowState(m_frame->windowState() & ~Qt::WindowMinimized);
    m_frame->show();
    if (!m_frame->isMaximized() && !m_frame->isFullScreen()) {
        if (QScreen *screen
            = m_frame->screen() ? m_frame->screen() : QGuiApplication::primaryScreen()) {
            QRect frame = m_frame->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            m_frame->move(frame.topLeft());
        }
    }
    m_frame->raise();
    m_frame->activateWindow();
}

void CTrayIcon::OnTrayClose()
{
    OnTrayShow();
    m_frame->close();
}
