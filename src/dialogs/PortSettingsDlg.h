#pragma once

#include "dialogs/PortSettingsForm.h"
#include "settings/TerminalSettings.h"
#include "platform/DeviceRoots.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class QFileSystemWatcher;

namespace Ui {
class CPortSettingsDlg;
}

// The dialog in which the user chooses the link (serial, network or USB) and
// its parameters, the display limit and the log file. OK puts the values
// into the terminal's settings and the INI file; they take effect at the
// next Start. Cancel changes nothing.
class CPortSettingsDlg final : public QDialog
{
    Q_OBJECT
public:
    CPortSettingsDlg(TerminalSettings &settings, const QString &iniPath, QWidget *parent = nullptr,
                     const DeviceRoots &roots = {});
    ~CPortSettingsDlg() override;

    void accept() override;
    // Reads the serial and USB devices present again, keeping the choices.
    void refreshDevices();

private:
    void showGroup();
    void setValues(const CPortSettingsForm::Values &values);
    CPortSettingsForm::Values values() const;
    void fillComList(const QString &current);
    void fillUsbList(const QString &current);
    void chooseLogFile();
    void watchDevices();

    std::unique_ptr<Ui::CPortSettingsDlg> m_ui;
    TerminalSettings &m_settings;
    QString m_iniPath;
    DeviceRoots m_roots;
    CPortSettingsForm m_form;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer m_refreshTimer;
};
