#include "MainFrame.h"

#include "display/RuKTerminalView.h"
#include "frame/CommandIds.h"
#include "frame/ConfigStore.h"
#include "frame/InputEdit.h"
#include "platform/PortNotify.h"
#include "platform/StringTable.h"
#include "platform/UiServices.h"
#include "ports/PortEngine.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>

CMainFrame::CMainFrame(const QString &iniPath, std::unique_ptr<CTerminalPorts> ports,
                       QWidget *parent)
    : QMainWindow(parent)
    , m_strIniPath(iniPath)
    , m_strProgramDir(ConfigStore::programDirectory())
    , m_ports(ports ? std::move(ports) : createDefaultTerminalPorts())
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(QStringLiteral("ORBATerminal"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/orbaterminal.svg")));
    resize(900, 650);

    m_pView = new CRuKTerminalView(m_settings.display, m_charMap, this, this);
    setCentralWidget(m_pView);

    createActions();
    createMenus();
    createInputBar();
    EnableInput(false);
    LoadSettings();
    ShowInputControl();
    updateCommandStates();

    setUiParentWindow(this);
    setPortNotifyTarget(this, true);
}

CMainFrame::~CMainFrame()
{
    setPortNotifyTarget(nullptr, false);
    if (CPortEngine *port = currentPort(); port && port->IsOpen())
        port->Close();
    // The view goes with the window; its blocks must not outlive it.
    ClearReceivedQueue();
}

QAction *CMainFrame::addCommand(int id, const QString &text, void (CMainFrame::*slot)(),
                                bool checkable)
{
    auto *a = new QAction(text, this);
    a->setCheckable(checkable);
    a->setStatusTip(commandPrompt(id));
    a->setToolTip(commandToolTip(id));
    a->setData(id);
    if (slot)
        connect(a, &QAction::triggered, this, slot);
    m_actions.insert(id, a);
    return a;
}

void CMainFrame::createActions()
{
    addCommand(CommandId::TerminalStart, tr("&Start"), &CMainFrame::OnTerminalStart, true);
    addCommand(CommandId::TerminalStop, tr("S&top"), &CMainFrame::OnTerminalStop, true);
    addCommand(CommandId::SendInputText, tr("Send &input text"), nullptr);
    connect(action(CommandId::SendInputText), &QAction::triggered, this, [this] { this->SendInputText(false); });
    addCommand(CommandId::LocalEcho, tr("&Local echo"), nullptr, true);
    connect(action(CommandId::LocalEcho), &QAction::triggered, this,
            [this] { toggleSwitch(m_settings.localEcho); });
    addCommand(CommandId::AutoScroll, tr("&Auto-scroll"), nullptr, true);
    connect(action(CommandId::AutoScroll), &QAction::triggered, this,
            [this] { toggleSwitch(m_settings.display.autoScroll); });
    addCommand(CommandId::ClearInput, tr("C&lear input"), nullptr, true);
    connect(action(CommandId::ClearInput), &QAction::triggered, this,
            [this] { toggleSwitch(m_settings.clearInput); });
    addCommand(CommandId::HexMode, tr("&Hex mode (In/Output)"), &CMainFrame::OnHexMode, true);
    addCommand(CommandId::Timestamp, tr("&Timestamp in each line"), nullptr, true);
    connect(action(CommandId::Timestamp), &QAction::triggered, this,
            [this] { toggleSwitch(m_settings.display.timestampPerLine); });
    addCommand(CommandId::LoadSettings, tr("&Load settings..."), &CMainFrame::OnLoadSettings);
    addCommand(CommandId::SaveSettings, tr("Save sett&ings..."), &CMainFrame::OnSaveSettings);
}

void CMainFrame::createMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(action(CommandId::LoadSettings));
    file->addAction(action(CommandId::SaveSettings));
    QMenu *terminal = menuBar()->addMenu(tr("&Terminal"));
    terminal->addAction(action(CommandId::TerminalStart));
    terminal->addAction(action(CommandId::TerminalStop));
    terminal->addSeparator();
    terminal->addAction(action(CommandId::SendInputText));
    QMenu *settingsMenu = menuBar()->addMenu(tr("&Settings"));
    settingsMenu->addAction(action(CommandId::LocalEcho));
    settingsMenu->addAction(action(CommandId::AutoScroll));
    settingsMenu->addAction(action(CommandId::ClearInput));
    settingsMenu->addAction(action(CommandId::HexMode));
    settingsMenu->addAction(action(CommandId::Timestamp));
}

void CMainFrame::createInputBar()
{
    m_pInputBar = new QToolBar(tr("Input bar"), this);
    m_pInputBar->setObjectName(QStringLiteral("inputBar"));
    m_pInputBar->setMovable(false);
    m_pTextInput = new CInputEdit(m_pInputBar);
    m_pTextInput->setStatusTip(commandPrompt(CommandId::TextInput));
    m_pTextInput->setToolTip(commandToolTip(CommandId::TextInput));
    connect(m_pTextInput, &CInputEdit::enterPressed, this, [this] {
        if (m_bRunning)
            SendInputText(true);
    });
    m_pHexInput = createHexInput(m_pInputBar);
    m_pInputBar->addWidget(m_pTextInput);
    m_pInputBar->addWidget(m_pHexInput);
    addToolBar(Qt::TopToolBarArea, m_pInputBar);
}

void CMainFrame::toggleSwitch(bool &value)
{
    value = !value;
    updateCommandStates();
}

void CMainFrame::OnHexMode()
{
    m_settings.display.hexMode = !m_settings.display.hexMode;
    if (m_pView)
        m_pView->ClearDisplay();
    ShowInputControl();
    updateCommandStates();
}

void CMainFrame::updateCommandStates()
{
    const auto set = [this](int id, bool enabled, bool checked) {
        if (QAction *a = action(id)) {
            a->setEnabled(enabled);
            if (a->isCheckable())
                a->setChecked(checked);
        }
    };
    set(CommandId::TerminalStart, true, m_bRunning);
    set(CommandId::TerminalStop, true, !m_bRunning);
    set(CommandId::AutoScroll, true, m_settings.display.autoScroll);
    set(CommandId::LocalEcho, true, m_settings.localEcho);
    set(CommandId::Timestamp, true, m_settings.display.timestampPerLine);
    set(CommandId::ClearInput, true, m_settings.clearInput);
    set(CommandId::HexMode, true, m_settings.display.hexMode);
    set(CommandId::PortSettings, !m_bRunning, false);
    set(CommandId::LoadSettings, !m_bRunning, false);
    for (int id : std::initializer_list<int>{CommandId::SendFile, CommandId::SendInputText, CommandId::SendCrLf, CommandId::SendFileToPrinter, CommandId::ReceivePrinterFile})
        set(id, m_bRunning, false);
    emit stateChanged();
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
}

bool CMainFrame::event(QEvent *event)
{
    if (event->type() == PortNotifyEvent::eventType()) {
        OnPortNotify(static_cast<PortNotifyEvent *>(event)->lParam());
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::LightActivityLed(int)
{
    // The indicators belong to the full window's input bar.
}

void CMainFrame::StartSendProgress(int blocks)
{
    if (blocks > 0)
        m_nSendProgressTotal = static_cast<unsigned>(blocks);
}
