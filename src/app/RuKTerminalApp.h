#pragma once

#include <QApplication>

#include <memory>

class CMainFrame;
struct CommandLine;

// The application with a window: language, INI location, the main window and
// its tray icon.
class CRuKTerminalApp final : public QApplication
{
    Q_OBJECT
public:
    CRuKTerminalApp(int &argc, char **argv);
    ~CRuKTerminalApp() override;

    // Prepares everything and shows the main window as the command line asks;
    // false ends the program.
    bool InitInstance(const CommandLine &commandLine);
    CMainFrame *mainFrame() const { return m_mainFrame.get(); }

private:
    std::unique_ptr<CMainFrame> m_mainFrame;
};
