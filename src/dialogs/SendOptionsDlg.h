#pragma once

#include "settings/TerminalSettings.h"

#include <QDialog>

#include <memory>

namespace Ui {
class CSendOptionsDlg;
}

// The dialog of how sends go out: framing, line end, checksum and pacing.
// OK puts the values into the terminal's settings and the INI file; they
// apply from the next send. Cancel changes nothing.
class CSendOptionsDlg final : public QDialog
{
    Q_OBJECT
public:
    CSendOptionsDlg(SendSettings &settings, const QString &iniPath, QWidget *parent = nullptr);
    ~CSendOptionsDlg() override;

    void accept() override;

private:
    void setValues(const SendSettings &values);
    SendSettings values() const;
    void updateNote();

    std::unique_ptr<Ui::CSendOptionsDlg> m_ui;
    SendSettings &m_settings;
    QString m_iniPath;
};
