#pragma once

#include "ports/ConnectionWait.h"

#include <QDialog>
#include <QPointer>

#include <atomic>

class QLabel;
class QPushButton;

// The modeless box shown while a server waits for its peer. Cancel (and
// Escape, and closing the window) only raises the cancel flag: the waiting
// port sees it on its next turn and destroys the dialog itself. Enter does
// nothing, so a stray key press cannot end the wait.
class CConnectWaitDlg final : public QDialog
{
    Q_OBJECT

public:
    // `socketType` 1 waits for a TCP connection, any other value for UDP data.
    CConnectWaitDlg(std::atomic<int> *cancelFlag, int socketType, QWidget *parent = nullptr);
    ~CConnectWaitDlg() override;

    QString waitText() const;

public slots:
    void accept() override {}
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    std::atomic<int> *m_pCancelFlag;
    int m_nSocketType;
    QLabel *m_text = nullptr;
    QPushButton *m_cancel = nullptr;
};

// The window's side of a network Open that waits: the window is disabled
// meanwhile, so that no command reaches the port in the middle of it (it
// keeps painting), with a busy cursor during a connect and the box above
// while a server waits for its peer.
class CConnectWaitUi final : public CConnectionWait
{
public:
    explicit CConnectWaitUi(QWidget *window)
        : m_window(window)
    {}
    ~CConnectWaitUi() override;

    void beginConnect() override;
    void endConnect() override;
    void beginPeerWait(int socketType, std::atomic<int> *cancel) override;
    void endPeerWait() override;

private:
    void lockWindow();
    void unlockWindow();

    QPointer<QWidget> m_window;
    bool m_reenable = false;
    bool m_cursor = false;
    QPointer<CConnectWaitDlg> m_dialog;
};
