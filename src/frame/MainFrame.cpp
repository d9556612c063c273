// The main window: construction in the order the bars depend on, its
// commands, menus and toolbar, and what it does when it goes.
#include "MainFrame.h"

#include "dialogs/AboutDlg.h"
#include "dialogs/ProgramIcons.h"
#include "dialogs/QtUiServices.h"
#include "display/DisplayModel.h"
#include "display/DisplayPrinter.h"
#include "display/DisplayWidget.h"
#include "display/RuKTerminalDoc.h"
#include "display/RuKTerminalView.h"
#include "frame/CommandIcons.h"
#include "frame/CommandIds.h"
#include "frame/EditCommands.h"
#include "frame/FileDrop.h"
#include "frame/InputBar.h"
#include "frame/RecentFiles.h"
#include "input/HexEdit.h"
#include "input/InputEdit.h"
#include "platform/StringTable.h"
#include "ports/ConnectWaitDlg.h"
#include "settings/ConfigStore.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace {
// Keys of Start and Stop: free of F1-F12 (the hotkeys) and of every key the
// inputs take for typing and editing; the letters underlined in the menu.
const QKeySequence kStartKeys(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
const QKeySequence kStopKeys(Qt::CTRL | Qt::SHIFT | Qt::Key_T);

// Recent-file entries: the placeholder id and the three after it.
constexpr int kRecentFileCount = CRuKTerminalDoc::kMaxRecentFiles;
} // namespace

CMainFrame::CMainFrame(const QString &iniPath, std::unique_ptr<CTerminalPorts> ports,
                       QWidget *parent)
    : QMainWindow(parent)
    , m_strProgramDir(ConfigStore::programDirectory())
    , m_pTerminal(new CTerminal(iniPath, std::move(ports), this))
    , m_pConnectWait(std::make_unique<CConnectWaitUi>(this))
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(programIcon());
    resize(900, 650);

    m_pView = new CRuKTerminalView(m_pTerminal->display(), settings().display, this);
    setCentralWidget(m_pView);
    createDocument();
    new CFileDrop(this, m_pDoc);

    createActions();
    createMenus();
    createToolBar();
    m_pInputBar = new CInputBar(*m_pTerminal, action(CommandId::SendCrLf), this);
    addToolBar(Qt::TopToolBarArea, m_pInputBar);
    EnableInput(false);
    createStatusBar();
    createHotKeyBar();
    connectTerminal();
    if (!LoadSettings())
        m_pHotKeyToolBar->hide();
    ShowInputControl();
    updateStatusPanes();
    // The panes follow the clock even while nothing else happens.
    m_pPaneTimer = new QTimer(this);
    m_pPaneTimer->setInterval(30000);
    connect(m_pPaneTimer, &QTimer::timeout, this, &CMainFrame::updateStatusPanes);
    m_pPaneTimer->start();
    connect(m_pInputBar, &CInputBar::refreshed, this, &CMainFrame::updateStatusPanes);

    connect(this, &CMainFrame::stateChanged, this, &CMainFrame::updateStatusPanes);
    connect(qApp, &QApplication::focusChanged, this, &CMainFrame::updateEditCommands);
    updateCommandStates();
    updateEditCommands();

    setUiParentWindow(this);
    m_pTerminal->setConnectionWait(m_pConnectWait.get());
}

CMainFrame::~CMainFrame()
{
    // The bars and the application still signal while the window's parts go.
    disconnect(qApp, nullptr, this, nullptr);
    m_pToolBar->disconnect(this);
    m_pHotKeyToolBar->disconnect(this);
    m_pTerminal->disconnect(this);
    m_pInputBar->disconnect(this);
    m_pPaneTimer->stop();
    // Hidden by the user, not merely because the window is hidden.
    const bool keyBarShown = !m_pHotKeyToolBar->isHidden();
    const QString ini = iniPath();
    m_pTerminal->setConnectionWait(nullptr);
    // The terminal, its port and its display go before the widgets that show them.
    delete m_pView;
    m_pView = nullptr;
    delete m_pTerminal;
    // Last, with the port closed: a failure is told in a box of its own.
    setUiParentWindow(nullptr);
    ConfigStore::writeKeys(
        ini, QStringLiteral("Display"),
        {{QStringLiteral("UseKeyBar"), keyBarShown ? QStringLiteral("1") : QStringLiteral("0")}},
        true);
}

void CMainFrame::connectTerminal()
{
    CTerminal *t = m_pTerminal;
    connect(t, &CTerminal::started, this, [this] {
        EnableInput(true);
        if (settings().display.hexMode)
            hexInput()->setFocus();
        else
            textInput()->setFocus();
    });
    connect(t, &CTerminal::stopped, this, [this] { EnableInput(false); });
    connect(t, &CTerminal::stateChanged, this, &CMainFrame::updateCommandStates);
    connect(t, &CTerminal::linkStateChanged, this, &CMainFrame::updateStatusPanes);
    connect(t, &CTerminal::statusMessage, this,
            [this](const QString &text) { statusBar()->showMessage(text); });
    connect(t, &CTerminal::hotKeyConfigurationRequested, this,
            &CMainFrame::requestHotKeyConfiguration);
    connect(t, &CTerminal::hotKeyCaptionsChanged, this, &CMainFrame::refreshHotKeyBar);
    connect(t, &CTerminal::inputTextSent, this, &CMainFrame::showInputTextSent);
    connect(m_pInputBar, &CInputBar::hexEnterPressed, this, [this] {
        if (isRunning())
            SendHexInput();
    });
    connect(m_pInputBar, &CInputBar::statusMessage, statusBar(),
            [this](const QString &text) { statusBar()->showMessage(text); });
}

CInputEdit *CMainFrame::textInput() const
{
    return m_pInputBar->textInput();
}

QWidget *CMainFrame::hexInput() const
{
    return m_pInputBar->hexEdit();
}

CHexEdit *CMainFrame::hexEdit() const
{
    return m_pInputBar->hexEdit();
}

void CMainFrame::OnTerminalStart()
{
    m_pTerminal->OnTerminalStart();
    if (m_bCloseAfterStart) {
        // The window was closed while the connection was awaited.
        m_bCloseAfterStart = false;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void CMainFrame::OnTerminalStop()
{
    m_pTerminal->OnTerminalStop();
}

void CMainFrame::EnableInput(bool enable)
{
    m_pInputBar->enableInputs(enable);
    if (QAction *send = action(CommandId::SendCrLf))
        send->setEnabled(enable);
}

void CMainFrame::ShowInputControl()
{
    m_pInputBar->showInput(settings().display.hexMode);
}

void CMainFrame::createDocument()
{
    m_pDoc = new CRuKTerminalDoc(&m_pTerminal->display(), this);
    m_pPrinter = new CDisplayPrinter(m_pView->widget(), this);
    const auto retitle = [this] {
        setWindowTitle(m_pDoc->windowTitle());
        m_pPrinter->setDocumentName(m_pDoc->title());
    };
    connect(m_pDoc, &CRuKTerminalDoc::documentChanged, this, retitle);
    connect(m_pDoc, &CRuKTerminalDoc::recentFilesChanged, this, &CMainFrame::updateRecentFileMenu);
    retitle();
}

template<typename Bar>
void CMainFrame::addCommands(Bar *bar, std::initializer_list<int> ids)
{
    // 0 stands for a separator.
    for (int id : ids) {
        if (id == 0)
            bar->addSeparator();
        else
            bar->addAction(action(id));
    }
}

QAction *CMainFrame::addCommand(int id, const QString &text, void (CMainFrame::*slot)(),
                                bool checkable)
{
    auto *a = new QAction(text, this);
    a->setCheckable(checkable);
    a->setStatusTip(commandPrompt(id));
    a->setToolTip(commandToolTip(id));
    a->setIcon(commandIcon(id));
    a->setData(id);
    if (slot)
        connect(a, &QAction::triggered, this, slot);
    m_actions.insert(id, a);
    return a;
}

void CMainFrame::createActions()
{
    const auto call = [this](int id, auto fn) {
        connect(action(id), &QAction::triggered, this, fn);
    };

    addCommand(CommandId::FileNew, tr("&New"), nullptr)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    call(CommandId::FileNew, [this] { m_pDoc->OnFileNew(); });
    addCommand(CommandId::FileOpen, tr("&Open..."), nullptr)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    call(CommandId::FileOpen, [this] { m_pDoc->OnFileOpen(); });
    addCommand(CommandId::FileSave, tr("&Save"), nullptr)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    call(CommandId::FileSave, [this] { m_pDoc->OnFileSave(); });
    addCommand(CommandId::FileSaveAs, tr("Save &as..."), nullptr);
    call(CommandId::FileSaveAs, [this] { m_pDoc->OnFileSaveAs(); });
    addCommand(CommandId::LoadSettings, tr("&Load settings..."), &CMainFrame::OnLoadSettings);
    addCommand(CommandId::SaveSettings, tr("Save sett&ings..."), &CMainFrame::OnSaveSettings);
    addCommand(CommandId::FilePrint, tr("&Print..."), nullptr)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    call(CommandId::FilePrint, [this] { m_pPrinter->OnFilePrint(); });
    addCommand(CommandId::FilePrintPreview, tr("Print pre&view"), nullptr);
    call(CommandId::FilePrintPreview, [this] { m_pPrinter->OnFilePrintPreview(); });
    addCommand(CommandId::FilePrintSetup, tr("Printe&r setup..."), nullptr);
    call(CommandId::FilePrintSetup, [this] { m_pPrinter->OnFilePrintSetup(); });
    for (int i = 0; i < kRecentFileCount; ++i) {
        addCommand(CommandId::FileMru + i, tr("Recent file"), nullptr);
        call(CommandId::FileMru + i, [this, i] { m_pDoc->OnOpenRecentFile(i); });
    }
    addCommand(CommandId::AppExit, tr("&Close"), nullptr)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    call(CommandId::AppExit, [this] { close(); });

    addCommand(CommandId::EditCopy, tr("Co&py"), nullptr)->setShortcut(QKeySequence::Copy);
    addCommand(CommandId::EditCut, tr("Cu&t"), nullptr)->setShortcut(QKeySequence::Cut);
    addCommand(CommandId::EditDelete, tr("&Delete"), nullptr)->setShortcut(QKeySequence::Delete);
    addCommand(CommandId::EditSelectAll, tr("Select &all"), nullptr)
        ->setShortcut(QKeySequence::SelectAll);
    action(CommandId::EditCut)->setStatusTip(tr("Cuts the selection and puts it on the clipboard"));
    action(CommandId::EditDelete)->setStatusTip(tr("Erases the selection"));
    action(CommandId::EditSelectAll)->setStatusTip(tr("Selects everything"));
    for (int id :
         {CommandId::EditCopy, CommandId::EditCut, CommandId::EditDelete, CommandId::EditSelectAll})
        call(id, [this, id] { OnEditCommand(id); });

    addCommand(CommandId::ViewToolbar, tr("&Toolbar"), nullptr, true);
    call(CommandId::ViewToolbar, [this](bool on) { m_pToolBar->setVisible(on); });
    addCommand(CommandId::ViewStatusBar, tr("S&tatusbar"), nullptr, true);
    call(CommandId::ViewStatusBar, [this](bool on) { statusBar()->setVisible(on); });
    addCommand(CommandId::ViewHotKeyBar, tr("&Hotkeybar"), nullptr, true);
    call(CommandId::ViewHotKeyBar, [this](bool on) { m_pHotKeyToolBar->setVisible(on); });

    addCommand(CommandId::TerminalStart, tr("&Start"), &CMainFrame::OnTerminalStart, true)
        ->setShortcut(kStartKeys);
    addCommand(CommandId::TerminalStop, tr("S&top"), &CMainFrame::OnTerminalStop, true)
        ->setShortcut(kStopKeys);
    addCommand(CommandId::SendFile, tr("Send &file"), nullptr);
    call(CommandId::SendFile, [this] { SendFile(false); });
    // The printer commands are named after their prompts.
    addCommand(CommandId::SendFileToPrinter,
               commandPrompt(CommandId::SendFileToPrinter) + QStringLiteral("..."), nullptr);
    call(CommandId::SendFileToPrinter, [this] { SendFile(true); });
    addCommand(CommandId::ReceivePrinterFile,
               commandPrompt(CommandId::ReceivePrinterFile) + QStringLiteral("..."),
               &CMainFrame::OnReceivePrinterFile);
    addCommand(CommandId::CancelPrinterReception, tr("&Cancel file reception"), nullptr)
        ->setStatusTip(tr("Ends the reception of a file from the r+k printer"));
    call(CommandId::CancelPrinterReception, [this] { m_pTerminal->OnCancelPrinterReception(); });
    addCommand(CommandId::SendInputText, tr("Send &input text"), nullptr);
    call(CommandId::SendInputText, [this] { this->SendInputText(false); });
    // Enter in the text input: the same with CR LF.
    addCommand(CommandId::SendCrLf, QString(), nullptr);
    call(CommandId::SendCrLf, [this] { this->SendInputText(true); });

    addCommand(CommandId::PortSettings, tr("&Communication port / generic settings"),
               &CMainFrame::OnPortSettings);
    addCommand(CommandId::LocalEcho, tr("&Local echo"), nullptr, true);
    call(CommandId::LocalEcho, [this] { toggleSwitch(settings().localEcho); });
    addCommand(CommandId::AutoScroll, tr("&Auto-scroll"), nullptr, true);
    call(CommandId::AutoScroll, [this] { toggleSwitch(settings().display.autoScroll); });
    addCommand(CommandId::ClearInput, tr("C&lear input"), nullptr, true);
    call(CommandId::ClearInput, [this] { toggleSwitch(settings().clearInput); });
    addCommand(CommandId::HexMode, tr("&Hex mode (In/Output)"), &CMainFrame::OnHexMode, true);
    addCommand(CommandId::Timestamp, tr("&Timestamp in each line"), nullptr, true);
    call(CommandId::Timestamp, [this] { toggleSwitch(settings().display.timestampPerLine); });
    addCommand(CommandId::CharacterMapping, tr("Character ma&pping..."),
               &CMainFrame::OnCharacterMapping);
    addCommand(CommandId::HotKeys, tr("&Hotkeys..."), &CMainFrame::OnHotKeys);
    addCommand(CommandId::SendOptions, tr("Send &options..."), &CMainFrame::OnSendOptions);
    addCommand(CommandId::MediaGateway, tr("&Media gateway..."), &CMainFrame::OnMediaGateway);

    addCommand(CommandId::AppAbout, tr("Inf&o about ORBA Terminal..."), &CMainFrame::OnAppAbout);

    // F1 to F12 fire the hotkeys wherever the focus is in the window.
    for (int i = 0; i < TerminalSettings::kHotKeys; ++i) {
        QAction *key
            = addCommand(CommandId::HotKeyF1 + i, QStringLiteral("F%1").arg(i + 1), nullptr);
        key->setShortcut(QKeySequence(QKeyCombination(static_cast<Qt::Key>(Qt::Key_F1 + i))));
        key->setShortcutContext(Qt::WindowShortcut);
        call(CommandId::HotKeyF1 + i, [this, i] { FireHotKey(i); });
        addAction(key);
    }
}

void CMainFrame::createMenus()
{
    const auto add = [this](QMenu *menu, std::initializer_list<int> ids) {
        addCommands(menu, ids);
    };
    m_pFileMenu = menuBar()->addMenu(tr("&File"));
    add(m_pFileMenu,
        {CommandId::FileNew, CommandId::FileOpen, CommandId::FileSave, CommandId::FileSaveAs, 0,
         CommandId::LoadSettings, CommandId::SaveSettings, 0, CommandId::FilePrint,
         CommandId::FilePrintPreview, CommandId::FilePrintSetup, 0});
    for (int i = 0; i < kRecentFileCount; ++i)
        m_pFileMenu->addAction(action(CommandId::FileMru + i));
    m_pFileMenu->addSeparator();
    m_pFileMenu->addAction(action(CommandId::AppExit));
    updateRecentFileMenu();

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    connect(edit, &QMenu::aboutToShow, this, &CMainFrame::updateEditCommands);
    add(edit, {CommandId::EditCopy, CommandId::EditCut, CommandId::EditDelete,
               CommandId::EditSelectAll, 0});
    edit->addAction(m_pView->findAction());
    createDisplayContextMenu();
    add(menuBar()->addMenu(tr("&View")),
        {CommandId::ViewToolbar, CommandId::ViewStatusBar, CommandId::ViewHotKeyBar});
    add(menuBar()->addMenu(tr("&Terminal")),
        {CommandId::TerminalStart, CommandId::TerminalStop, 0, CommandId::SendFile,
         CommandId::SendFileToPrinter, CommandId::ReceivePrinterFile,
         CommandId::CancelPrinterReception, CommandId::SendInputText});
    QMenu *settingsMenu = menuBar()->addMenu(tr("&Settings"));
    // The commands still to come say so in their tool tips.
    settingsMenu->setToolTipsVisible(true);
    add(settingsMenu, {CommandId::PortSettings, 0, CommandId::LocalEcho, CommandId::AutoScroll,
                       CommandId::ClearInput, CommandId::HexMode, CommandId::Timestamp, 0,
                       CommandId::CharacterMapping, 0, CommandId::HotKeys, CommandId::SendOptions,
                       0, CommandId::MediaGateway});
    add(menuBar()->addMenu(tr("&?")), {CommandId::AppAbout});
}

void CMainFrame::createDisplayContextMenu()
{
    // The window's own commands; New is named for what it does to the display.
    QAction *fileNew = action(CommandId::FileNew);
    auto *clear = new QAction(fileNew->icon(), tr("Clear display"), this);
    clear->setObjectName(QStringLiteral("clearDisplay"));
    clear->setShortcut(fileNew->shortcut());
    clear->setStatusTip(fileNew->statusTip());
    connect(clear, &QAction::triggered, fileNew, &QAction::trigger);
    using namespace CommandId;
    m_pView->widget()->setContextMenuActions(
        {action(EditCopy), action(EditSelectAll), m_pView->findAction(), nullptr, clear,
         action(FileSave), action(FilePrint), nullptr, action(Timestamp), action(HexMode)});
}

void CMainFrame::createToolBar()
{
    m_pToolBar = new QToolBar(tr("Toolbar"), this);
    m_pToolBar->setObjectName(QStringLiteral("toolBar"));
    m_pToolBar->setMovable(false);
    m_pToolBar->setIconSize(QSize(32, 32));
    addCommands(m_pToolBar, {CommandId::FileNew,
                             CommandId::FileOpen,
                             CommandId::FileSave,
                             0,
                             CommandId::PortSettings,
                             0,
                             CommandId::TerminalStart,
                             CommandId::TerminalStop,
                             0,
                             CommandId::SendInputText,
                             CommandId::SendFile,
                             0,
                             CommandId::EditCopy,
                             CommandId::FilePrint,
                             0,
                             CommandId::ClearInput,
                             CommandId::AutoScroll,
                             CommandId::LocalEcho,
                             CommandId::HexMode,
                             0,
                             CommandId::AppAbout});
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
    // The input bar gets a row of its own below.
    addToolBarBreak(Qt::TopToolBarArea);
    connect(m_pToolBar, &QToolBar::visibilityChanged, this, &CMainFrame::updateBarChecks);
}

void CMainFrame::updateRecentFileMenu()
{
    QList<QAction *> entries;
    for (int i = 0; i < CRuKTerminalDoc::kMaxRecentFiles; ++i)
        entries << action(CommandId::FileMru + i);
    showRecentFiles(entries, m_pDoc->recentFiles());
}

void CMainFrame::toggleSwitch(bool &value)
{
    value = !value;
    updateCommandStates();
}

void CMainFrame::OnHexMode()
{
    m_pTerminal->setHexMode(!settings().display.hexMode);
    ShowInputControl();
    // Typing goes on in the input now shown (it takes no keys while stopped).
    QWidget *input = settings().display.hexMode ? hexInput() : textInput();
    if (input->isEnabled())
        input->setFocus();
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
    const bool running = isRunning();
    const DisplaySettings &d = settings().display;
    set(CommandId::TerminalStart, true, running);
    set(CommandId::TerminalStop, true, !running);
    set(CommandId::AutoScroll, true, d.autoScroll);
    set(CommandId::LocalEcho, true, settings().localEcho);
    set(CommandId::Timestamp, true, d.timestampPerLine);
    set(CommandId::ClearInput, true, settings().clearInput);
    set(CommandId::HexMode, true, d.hexMode);
    set(CommandId::PortSettings, !running, false);
    set(CommandId::MediaGateway, true, false);
    // One file at a time: a second would land in the middle of the first.
    const bool fileSendBusy = m_pTerminal->isFileSendBusy();
    set(CommandId::SendFile, running && !fileSendBusy, false);
    set(CommandId::SendFileToPrinter, running && !fileSendBusy, false);
    set(CommandId::ReceivePrinterFile, running, false);
    set(CommandId::CancelPrinterReception, m_pTerminal->IsPrinterReceptionActive(), false);
    set(CommandId::LoadSettings, !running, false);
    for (int id : {CommandId::SendInputText, CommandId::SendCrLf})
        set(id, running, false);
    // No transfer outlives its run.
    if (!running && m_pInputBar && m_pInputBar->isProgressShown())
        m_pInputBar->hideSendProgress();
    updateBarChecks();
    emit stateChanged();
}

void CMainFrame::updateBarChecks()
{
    if (!m_pHotKeyToolBar)
        return; // still being built
    action(CommandId::ViewToolbar)->setChecked(!m_pToolBar->isHidden());
    action(CommandId::ViewStatusBar)->setChecked(!statusBar()->isHidden());
    action(CommandId::ViewHotKeyBar)->setChecked(!m_pHotKeyToolBar->isHidden());
}

void CMainFrame::updateEditCommands()
{
    const bool editable = editcommands::editsText(focusWidget(), textInput());
    action(CommandId::EditCut)->setEnabled(editable);
    action(CommandId::EditDelete)->setEnabled(editable);
}

void CMainFrame::OnEditCommand(int id)
{
    editcommands::apply(id, focusWidget(), textInput(), m_pView->widget());
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg about(this);
    about.exec();
}

QMenu *CMainFrame::createPopupMenu()
{
    // The bars are switched in the View menu, which keeps its check marks.
    return nullptr;
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (m_pTerminal->isStarting()) {
        // Closing while a connection is awaited: end the wait first, or the
        // program would go on waiting without a window. The close is repeated
        // once the start has returned.
        m_bCloseAfterStart = true;
        m_pTerminal->abortStart();
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
