#pragma once

#include "settings/TerminalSettings.h"
#include "terminal/Terminal.h"

#include <QHash>
#include <QMainWindow>

#include <memory>

class CConnectWaitUi;
class CDisplayPrinter;
class CHexEdit;
class CHotKeyBar;
class CInputBar;
class CInputEdit;
class CPortEngine;
class CRuKTerminalDoc;
class CRuKTerminalView;
class CStatusPanes;
class QAction;
class QMenu;
class QTimer;
class QToolBar;

// The main window: menus, bars, panes and dialogs over the terminal, which
// does the work. Commands keep their names; each shows or asks what it must
// and hands the rest to the terminal.
class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    // `iniPath` is the INI file in use; `ports` null means the real ports.
    explicit CMainFrame(const QString &iniPath, std::unique_ptr<CTerminalPorts> ports = nullptr,
                        QWidget *parent = nullptr);
    ~CMainFrame() override;

    CTerminal &terminal() const { return *m_pTerminal; }

    // --- terminal control ---
    void OnTerminalStart();
    void OnTerminalStop();
    void EnableInput(bool enable);
    void ShowInputControl();
    bool isRunning() const { return m_pTerminal->isRunning(); }
    CPortEngine *currentPort() const { return m_pTerminal->currentPort(); }
    TerminalSettings &settings() { return m_pTerminal->settings(); }
    CharMapTable &charMapTable() { return m_pTerminal->charMapTable(); }

    // --- configuration (MainFrameConfig.cpp) ---
    bool LoadSettings();
    void OnLoadSettings();
    void OnSaveSettings();
    // The port settings dialog (only while stopped).
    void OnPortSettings();
    // Framing, line end, checksum and pacing of what is sent.
    void OnSendOptions();
    void OnMediaGateway();
    const QString &iniPath() const { return m_pTerminal->iniPath(); }
    const QString &programDir() const { return m_strProgramDir; }

    // --- sending and hotkeys (MainFrameSending.cpp) ---
    void SendInputText(bool crlf);
    // Sends the hex input; also called by Enter in the hex input.
    void SendHexInput();
    void FireHotKey(int index);
    // The character mapping dialog, then the triggers anew.
    void OnCharacterMapping();
    // The hotkey configuration: the dialog, then captions and triggers anew.
    void OnHotKeys();
    bool isHotKeyConfigurationOpen() const { return m_bHotKeyDlgOpen; }
    // Sends a file as it is, or to the printer behind a header with its name, size and CRC-32.
    void SendFile(bool toPrinter);
    // Asks the printer for a file and receives its answer into a local file.
    void OnReceivePrinterFile();

    // --- window, bars and indicators (MainFrame.cpp, MainFrameBars.cpp) ---
    CRuKTerminalView *view() const { return m_pView; }
    CInputEdit *textInput() const;
    QWidget *hexInput() const;
    CHexEdit *hexEdit() const;
    QAction *action(int commandId) const { return m_actions.value(commandId); }
    CRuKTerminalDoc *document() const { return m_pDoc; }
    CDisplayPrinter *displayPrinter() const { return m_pPrinter; }
    CHotKeyBar *hotKeyBar() const { return m_pHotKeyBar; }
    QToolBar *hotKeyToolBar() const { return m_pHotKeyToolBar; }
    // Lights indicator 1046 (send) or 1047 (receive) fully.
    void LightActivityLed(int id);
    // The 500 ms refresh: activity indicators, send progress, status panes.
    void OnRefreshTimer();
    void updateStatusPanes();

signals:
    // The terminal started or stopped, or a setting that commands show changed.
    void stateChanged();

protected:
    void closeEvent(QCloseEvent *event) override;
    QMenu *createPopupMenu() override;

private:
    void connectTerminal();
    void createDocument();
    void createActions();
    void createMenus();
    void createToolBar();
    void createDisplayContextMenu();
    void createStatusBar();
    void createHotKeyBar();
    void refreshHotKeyBar();
    void updateRecentFileMenu();
    void updateBarChecks();
    void updateEditCommands();
    void updateCommandStates();
    void OnEditCommand(int id);
    void OnAppAbout();
    void OnHexMode();
    QAction *addCommand(int id, const QString &text, void (CMainFrame::*slot)(),
                        bool checkable = false);
    // Adds the commands `ids` to a menu or toolbar.
    template<typename Bar>
    void addCommands(Bar *bar, std::initializer_list<int> ids);
    void toggleSwitch(bool &value);
    // Sends what the text input holds; `remember` keeps it for Up and Down.
    void sendTextInput(bool crlf, bool remember);
    // Opens the hotkey configuration at once, or, while a received block is
    // being shown or another dialog is open, as soon as that is over.
    void requestHotKeyConfiguration();
    void openPendingHotKeyConfiguration();
    void showInputTextSent(const QString &text, bool sent);

    QString m_strProgramDir;
    CTerminal *m_pTerminal;
    std::unique_ptr<CConnectWaitUi> m_pConnectWait;
    CRuKTerminalView *m_pView = nullptr;
    CRuKTerminalDoc *m_pDoc = nullptr;
    CDisplayPrinter *m_pPrinter = nullptr;
    CInputBar *m_pInputBar = nullptr;
    QToolBar *m_pToolBar = nullptr;
    QToolBar *m_pHotKeyToolBar = nullptr;
    CHotKeyBar *m_pHotKeyBar = nullptr;
    QMenu *m_pFileMenu = nullptr;
    CStatusPanes *m_pPanes = nullptr;
    QTimer *m_pPaneTimer = nullptr;
    QHash<int, QAction *> m_actions;

    bool m_bHotKeyDlgOpen = false;
    bool m_bHotKeyConfigPending = false;
    bool m_bCloseAfterStart = false;
};
