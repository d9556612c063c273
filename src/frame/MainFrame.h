#pragma once

#include "display/CharacterMapping.h"
#include "display/DisplaySettings.h"
#include "frame/TerminalPorts.h"
#include "frame/TerminalSettings.h"
#include "input/ReceiveTriggers.h"
#include "platform/ProfileCache.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMainWindow>

#include <array>
#include <memory>

class CDisplayPrinter;
class CFileSender;
class CHotKeyBar;
class CPrinterFileReceiver;
class CInputEdit;
class CPortEngine;
class CRuKTerminalDoc;
class CRuKTerminalView;
class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QTimer;
class QToolBar;

// The main window and controller of the terminal: it owns the ports, the
// settings and the display, starts and stops a terminal run, and dispatches
// received blocks to the display.
class CMainFrame : public QMainWindow, public CDisplayHost
{
    Q_OBJECT
public:
    // `iniPath` is the INI file in use; `ports` null means the real ports.
    explicit CMainFrame(const QString &iniPath, std::unique_ptr<CTerminalPorts> ports = nullptr,
                        QWidget *parent = nullptr);
    ~CMainFrame() override;

    // --- terminal control ---
    void OnTerminalStart();
    void OnTerminalStop();
    void OnPortNotify(int lParam);
    void EnableInput(bool enable);
    void ShowInputControl();
    bool isRunning() const { return m_bRunning; }
    // The port of the current port kind (null when that kind has none).
    CPortEngine *currentPort() const;

    // --- configuration ---
    bool LoadSettings();
    void OnLoadSettings();
    void OnSaveSettings();
    // The port settings dialog (only while stopped).
    void OnPortSettings();
    const QString &iniPath() const { return m_strIniPath; }
    const QString &programDir() const { return m_strProgramDir; }

    TerminalSettings &settings() { return m_settings; }
    const TerminalSettings &settings() const { return m_settings; }
    CharMapTable &charMapTable() { return m_charMap; }
    CReceiveTriggers &receiveTriggers() { return m_triggers; }
    const QString &hotKeyCaption(int index) const { return m_hotKeyCaptions[index]; }

    CRuKTerminalView *view() const { return m_pView; }
    CInputEdit *textInput() const { return m_pTextInput; }
    QWidget *hexInput() const { return m_pHexInput; }
    QAction *action(int commandId) const { return m_actions.value(commandId); }

    // --- sending and hotkeys (MainFrameSending.cpp) ---
    // Creates the hex input of the input bar.
    QWidget *createHexInput(QWidget *parent);
    class CHexEdit *hexEdit() const { return m_pHexEdit; }
    void SendInputText(bool crlf);
    // Sends the hex input; also called by Enter in the hex input.
    void SendHexInput();
    // Writes framed bytes to the port, lights the send indicator and echoes
    // them. False when the port refused them (the user is told by the port's
    // not-sent notice); nothing is echoed then.
    bool transmit(const QByteArray &bytes);
    void FireHotKey(int index);
    // The character mapping dialog, then the triggers anew.
    void OnCharacterMapping();
    // The hotkey configuration: the dialog, then captions and triggers anew.
    void OnHotKeys();
    void PrepareReceiveTriggers();
    void CheckReceiveTriggers(const std::uint8_t *data, int length) override;
    bool isHotKeyConfigurationOpen() const { return m_bHotKeyDlgOpen; }

private:
    // Opens the hotkey configuration at once, or, while a received block is
    // being shown or another dialog is open, as soon as that is over.
    void sendTextInput(bool crlf, bool remember);
    void requestHotKeyConfiguration();
    void openPendingHotKeyConfiguration();

    class CHexEdit *m_pHexEdit = nullptr;
    bool m_bHotKeyDlgOpen = false;
    bool m_bHotKeyConfigPending = false;
    bool m_bCheckingTriggers = false;

public:
    // --- file sending and the printer file exchange (MainFramePrinter.cpp) ---
    // Sends a file as it is, or to the printer behind a header with its name, size and CRC-32.
    void SendFile(bool toPrinter);
    // Asks the printer for a file and receives its answer into a local file.
    void OnReceivePrinterFile();
    void OnCancelPrinterReception();
    bool IsPrinterReceptionActive() const override;
    void ReceivePrinterFileData(std::uint8_t *bytes, int length) override;
    // The end of a reception, shown once the block that completed it is shown.
    void OnFileReceived(bool crcMatched, const QString &path);
    CFileSender *fileSender() const { return m_pFileSender; }

private:
    void createPrinterTransfer();
    // Sends a header or request framed like typed text, also in hex mode.
    void sendPrinterText(const QString &text);
    void startFileStream(const QString &path);
    void onFileSendFinished(int outcome);
    void endPrinterReception();
    // A reception that ended early: where its bytes were kept, as a line to add.
    QString keptPartNote() const;
    void postMessage(const QString &text);
    // The file transfer's share of the send progress bar.
    void showTransferProgress(qint64 done, qint64 total);

    CFileSender *m_pFileSender = nullptr;
    std::unique_ptr<CPrinterFileReceiver> m_pReceiver;
    QString m_strTargetPath;
    QString m_strPrinterName;
    QElapsedTimer m_receiveProgressClock;

public:
    // --- window, bars and indicators (MainFrame.cpp, MainFrameBars.cpp) ---
    // Lights indicator 1046 (send) or 1047 (receive) fully.
    void LightActivityLed(int id);
    // Shows the progress of a transfer of `blocks` TxBlocks; 0 does nothing.
    void StartSendProgress(int blocks);
    // Hides the send progress and forgets its total.
    void hideSendProgress();
    // The 500 ms refresh: activity indicators, send progress, status panes.
    void OnRefreshTimer();
    void updateStatusPanes();
    CRuKTerminalDoc *document() const { return m_pDoc; }
    CDisplayPrinter *displayPrinter() const { return m_pPrinter; }
    CHotKeyBar *hotKeyBar() const { return m_pHotKeyBar; }
    QToolBar *hotKeyToolBar() const { return m_pHotKeyToolBar; }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    QMenu *createPopupMenu() override;

private:
    void createToolBar();
    void createDisplayContextMenu();
    void createStatusBar();
    void createHotKeyBar();
    void refreshHotKeyBar();
    void keepUsableWhenSmall();
    void createDocument();
    void updateRecentFileMenu();
    void updateBarChecks();
    void updateEditCommands();
    void OnEditCommand(int id);
    void OnAppAbout();

    CRuKTerminalDoc *m_pDoc = nullptr;
    CDisplayPrinter *m_pPrinter = nullptr;
    QToolBar *m_pToolBar = nullptr;
    QToolBar *m_pHotKeyToolBar = nullptr;
    CHotKeyBar *m_pHotKeyBar = nullptr;
    QMenu *m_pFileMenu = nullptr;
    QAction *m_pRecentSeparator = nullptr;
    QProgressBar *m_pSendLed = nullptr;
    QProgressBar *m_pReceiveLed = nullptr;
    QProgressBar *m_pSendProgress = nullptr;
    QLabel *m_pSendPercent = nullptr;
    QLabel *m_pPaneDate = nullptr;
    QLabel *m_pPaneTime = nullptr;
    QLabel *m_pPanePort = nullptr;
    QLabel *m_pPaneLink = nullptr;
    QTimer *m_pRefreshTimer = nullptr;
    QTimer *m_pPaneTimer = nullptr;

signals:
    // The terminal started or stopped, or a setting that commands show changed.
    void stateChanged();
    void hotKeyCaptionsChanged();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createInputBar();
    QAction *addCommand(int id, const QString &text, void (CMainFrame::*slot)(),
                        bool checkable = false);
    void updateCommandStates();
    void toggleSwitch(bool &value);
    void OnHexMode();
    void showStartFailure(int stringId, const QString &reason = QString());
    void showQueuedBlocks();
    // Stop; `keepListening` keeps a TCP server's listening socket for the
    // Start that follows at once (its peer left).
    void stopRun(bool keepListening);
    void restartAfterPeerLeft();
    // The port announced a change of its link state, or bytes it did not send.
    void onLinkStateChanged();
    // Once the blocks from before a link loss are shown, what comes next
    // begins a new line, as after a start.
    void startLineIfDue();
    void reportUnsent();

    QString m_strIniPath;
    // The hotkey keys as a hotkey fires: read again only when the file changed.
    profile::ProfileCache m_hotKeyIni;
    QString m_strProgramDir;
    TerminalSettings m_settings;
    CharMapTable m_charMap;
    CReceiveTriggers m_triggers;
    std::array<QString, TerminalSettings::kHotKeys> m_hotKeyCaptions;
    std::unique_ptr<CTerminalPorts> m_ports;

    bool m_bRunning = false;
    bool m_bShowingBlocks = false;  // guards against re-entrant rendering
    bool m_bRestartPending = false; // a link loss arrived while blocks were shown
    bool m_bStarting = false;       // a port is being opened (it may wait for a peer)
    bool m_bCloseAfterStart = false;
    int m_nLinkLossesSeen = 0; // losses of this run already reported
    bool m_bLinkDownReported = false;
    bool m_bLineStartDue = false; // a healed link's data begins a new line
    unsigned m_nSendProgressTotal = 0;

    CRuKTerminalView *m_pView = nullptr;
    CInputEdit *m_pTextInput = nullptr;
    QWidget *m_pHexInput = nullptr;
    QToolBar *m_pInputBar = nullptr;
    QHash<int, QAction *> m_actions;
};
