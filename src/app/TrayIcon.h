#pragma once

#include <QObject>
#include <QSystemTrayIcon>

class CMainFrame;
class QAction;
class QMenu;

// The main window's place in the notification area: minimizing hides the
// window behind an icon there; a double click or "Show ORBATerminal" brings it
// back, centred. On a desktop without a notification area the window just
// minimizes, so it can never get lost.
class CTrayIcon final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kShowId = 32798;
    static constexpr int kCloseId = 32806;

    // `available`: whether the desktop has a notification area.
    CTrayIcon(CMainFrame *frame, bool available);
    ~CTrayIcon() override;

    bool isAvailable() const { return m_available; }
    // The icon is in the notification area (the window is hidden).
    bool isShown() const;
    QMenu *menu() const { return m_menu; }
    QAction *action(int id) const;

    // Shows the window again, removes the icon and centres the window.
    void OnTrayShow();
    // The same, then closes the window.
    void OnTrayClose();
    // What a click on the icon does.
    void OnActivated(QSystemTrayIcon::ActivationReason reason);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void hideInTray();

    CMainFrame *m_frame;
    bool m_available;
    QSystemTrayIcon *m_icon;
    QMenu *m_menu;
    QAction *m_show;
    QAction *m_close;
};
