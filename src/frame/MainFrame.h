#pragma once

#include "display/CharacterMapping.h"
#include "display/DisplaySettings.h"
#include "frame/ReceiveTriggers.h"
#include "frame/TerminalPorts.h"
#include "frame/TerminalSettings.h"

#include <QHash>
#include <QMainWindow>

#include <array>
#include <memory>

class CInputEdit;
class CPortEngine;
class CRuKTerminalView;
class QAction;
class QMenu;
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
    void SendInputText(bool crlf);
    // Sends the hex input; also called by Enter in the hex input.
    void SendHexInput();
    void FireHotKey(int index);
    // The character mapping dialog, then the triggers anew.
    void OnCharacterMapping();
    // The hotkey configuration: the dialog, then captions and triggers anew.
    void OnHotKeys();
    void PrepareReceiveTriggers();
    void CheckReceiveTriggers(const std::uint8_t *data, int length) override;

    // --- window, bars and indicators (MainFrame.cpp) ---
    void LightActivityLed(int id);
    void StartSendProgress(int blocks);

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
    void showStartFailure(int stringId);
    void showQueuedBlocks();

    QString m_strIniPath;
    QString m_strProgramDir;
    TerminalSettings m_settings;
    CharMapTable m_charMap;
    CReceiveTriggers m_triggers;
    std::array<QString, TerminalSettings::kHotKeys> m_hotKeyCaptions;
    std::unique_ptr<CTerminalPorts> m_ports;

    bool m_bRunning = false;
    bool m_bShowingBlocks = false;    // guards against re-entrant rendering
    bool m_bRestartPending = false;   // a link loss arrived while blocks were shown
    unsigned m_nSendProgressTotal = 0;

    CRuKTerminalView *m_pView = nullptr;
    CInputEdit *m_pTextInput = nullptr;
    QWidget *m_pHexInput = nullptr;
    QToolBar *m_pInputBar = nullptr;
    QHash<int, QAction *> m_actions;
};
