#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <memory>

class QCheckBox;
class QLineEdit;

namespace Ui {
class CHotKeyDlg;
}

// The dialog for the twelve hotkeys F1 to F12: text, "+CRLF", "Hex-Data" and
// the receive text that fires the hotkey by itself. The texts and flags live
// in the INI file; the receive texts and the auto-reply mask are the
// terminal's own, changed in place at OK. Cancel changes nothing. With
// framing off a Hex-Data text, and the receive text of its trigger, must be
// whole pairs of hex digits: OK refuses anything else with a beep and marks it.
class CHotKeyDlg final : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kHotKeys = 12;
    static constexpr int kMaxText = 2047;
    static constexpr int kMaxReceiveText = 255;

    CHotKeyDlg(const QString &iniPath, std::array<QString, kHotKeys> &receiveTexts,
               std::uint32_t &autoReplyMask, bool framing = true, QWidget *parent = nullptr);
    ~CHotKeyDlg() override;

    void accept() override;

private:
    struct Row
    {
        QLineEdit *text = nullptr;
        QCheckBox *crlf = nullptr;
        QCheckBox *hex = nullptr;
        QCheckBox *receiveOn = nullptr;
        QLineEdit *receiveText = nullptr;
    };

    void updateReceiveEdits();
    // The first field whose hex digits framing "none" cannot send, marked; null for none.
    QLineEdit *markBadHex();

    std::unique_ptr<Ui::CHotKeyDlg> m_ui;
    QString m_iniPath;
    std::array<QString, kHotKeys> &m_receiveTexts;
    std::uint32_t &m_autoReplyMask;
    bool m_framing;
    std::array<Row, kHotKeys> m_rows;
};
