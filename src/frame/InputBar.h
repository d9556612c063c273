#pragma once

#include <QToolBar>

class CHexEdit;
class CInputEdit;
class CModemLamps;
class CTerminal;
class QAction;
class QLabel;
class QProgressBar;
class QTimer;

// The input bar under the toolbar: the text input and, in its place in hex
// mode, the hex input; on its right the send and receive indicators and the
// send progress with its percentage, which follow the terminal. They are
// refreshed every 500 ms while they have something to show, and not at all
// while the link is idle.
class CInputBar final : public QToolBar
{
    Q_OBJECT
public:
    // `sendCrLf` is the command Enter in the text input triggers.
    CInputBar(CTerminal &terminal, QAction *sendCrLf, QWidget *parent);

    CInputEdit *textInput() const { return m_pTextInput; }
    CHexEdit *hexEdit() const { return m_pHexEdit; }
    CModemLamps *modemLamps() const { return m_pLamps; }
    // Shows the hex input or the text input.
    void showInput(bool hex);
    // Enables or disables both inputs and empties the text input.
    void enableInputs(bool enable);

    // Indicator 1046 (send) or 1047 (receive) fully lit.
    void lightSendLed();
    void lightReceiveLed();
    // The progress of a send of `blocks` TxBlocks that the refresh follows.
    void startSendProgress(int blocks);
    // A file transfer's own progress, which the refresh leaves alone.
    void showTransferProgress(qint64 done, qint64 total);
    void hideSendProgress();
    bool isProgressShown() const;
    // Blocks of the send the refresh follows; 0 for none (or a file transfer).
    unsigned sendProgressTotal() const { return m_nSendProgressTotal; }
    // One refresh: the receive indicator goes dark, the send indicator blinks
    // while data waits, the followed send's progress moves on; the refresh
    // sleeps once nothing is left to show until the next activity.
    void refresh();

signals:
    void hexEnterPressed();
    // A line for the status bar.
    void statusMessage(const QString &text);
    void refreshed();

private:
    void wakeRefresh();

    const CTerminal &m_terminal;
    QTimer *m_pRefreshTimer;
    CInputEdit *m_pTextInput;
    CHexEdit *m_pHexEdit;
    QProgressBar *m_pSendLed = nullptr;
    QProgressBar *m_pReceiveLed = nullptr;
    QProgressBar *m_pSendProgress = nullptr;
    QLabel *m_pSendPercent = nullptr;
    CModemLamps *m_pLamps = nullptr;
    unsigned m_nSendProgressTotal = 0;
};
