#pragma once

#include "display/CharacterMapping.h"

#include <QDialog>

#include <memory>
#include <optional>

namespace Ui {
class CCharMapDlg;
}

// The dialog in which the user gives byte codes their texts. It edits a
// working copy of the table; OK puts it and the switch into effect and writes
// them to the INI file, Cancel changes nothing.
class CCharMapDlg final : public QDialog
{
    Q_OBJECT
public:
    CCharMapDlg(CharMapTable &table, bool &mappingOn, const QString &iniPath,
                QWidget *parent = nullptr);
    ~CCharMapDlg() override;

    void accept() override;

    // The code a text in the code field stands for: hexadecimal after leading
    // blanks, up to the first character that is no hex digit; no text at all
    // is code 0. Nothing for a text that begins with anything else (a sign, a
    // letter beyond F) or denotes more than 0xFF.
    static std::optional<int> parseCode(const QString &text);

private:
    void fillList();
    void onAdd();
    void onRemove();
    void onSelectionChanged();

    std::unique_ptr<Ui::CCharMapDlg> m_ui;
    CharMapTable &m_table;
    bool &m_mappingOn;
    QString m_iniPath;
    CharMapTable m_work;
};
