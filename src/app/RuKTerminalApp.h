#pragma once

#include <QApplication>

#include <memory>

class CMainFrame;

// The application: language, INI location, the main window, its tray icon and
// the command line.
class CRuKTerminalApp final : public QApplication
{
    Q_OBJECT
public:
    CRuKTerminalApp(int &argc, char **argv);
    ~CRuKTerminalApp() override;

    // Prepares everything and shows the main window; false ends the program.
    bool InitInstance();
    CMainFrame *mainFrame() const { return m_mainFrame.get(); }

private:
    std::unique_ptr<CMainFrame> m_mainFrame;
};
