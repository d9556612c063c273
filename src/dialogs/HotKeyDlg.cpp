#include "HotKeyDlg.h"

#include "ui_HotKeyDlg.h"

#include "input/SendFraming.h"
#include "platform/ProfileFile.h"
#include "platform/UiServices.h"
#include "settings/ConfigStore.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace {
const QString kSection = QStringLiteral("HotKeys");

QString key(const char *name, int index)
{
    return QLatin1String(name) + QString::number(index);
}

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}
} // namespace

CHotKeyDlg::CHotKeyDlg(const QString &iniPath, std::array<QString, kHotKeys> &receiveTexts,
                       std::uint32_t &autoReplyMask, bool framing, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::CHotKeyDlg>())
    , m_iniPath(iniPath)
    , m_receiveTexts(receiveTexts)
    , m_autoReplyMask(autoReplyMask)
    , m_framing(framing)
{
    m_ui->setupUi(this);
    // One parse for the dialog's opening; nothing is kept from it.
    const profile::Snapshot ini(iniPath);
    const QString hexTip
        = framing ? tr("Hex-Data is used in hex mode only: there the text's hex digits "
                       "(blanks ignored, two per byte) are sent as bytes. In text mode the "
                       "text is sent as it is written.")
                  : tr("Framing is \"none\": the text's hex digits (blanks ignored, whole "
                       "pairs) are sent as bytes in either mode, and the receive text is read "
                       "as hex bytes too, e.g. 01 03 00 00 00 01.");
    const QString receiveTip = tr("When this text arrives, the hotkey is sent by itself "
                                  "(auto-reply), also across received blocks.");
    for (int i = 0; i < kHotKeys; ++i) {
        Row &row = m_rows[i];
        auto *label = new QLabel(tr("F%1:").arg(i + 1), this);
        row.text = new QLineEdit(this);
        row.text->setObjectName(key("hotKeyText", i));
        row.text->setMaxLength(kMaxText);
        row.text->setMinimumWidth(row.text->fontMetrics().averageCharWidth() * 30);
        row.text->setText(ini.getString(kSection, key("HotKeyText", i), QString(), 2046));
        label->setBuddy(row.text);
        row.crlf = new QCheckBox(tr("+CRLF"), this);
        row.crlf->setObjectName(key("crlf", i));
        row.crlf->setChecked(ini.getInt(kSection, key("HotKeyCRLF", i), 0) != 0);
        row.hex = new QCheckBox(tr("Hex-Data"), this);
        row.hex->setObjectName(key("hex", i));
        row.hex->setChecked(ini.getInt(kSection, key("HotKeyHex", i), 0) != 0);
        row.hex->setToolTip(hexTip);
        row.receiveOn = new QCheckBox(tr("Activate on data receive:"), this);
        row.receiveOn->setToolTip(receiveTip);
        row.receiveOn->setObjectName(key("receiveOn", i));
        row.receiveOn->setChecked((autoReplyMask >> i) & 1u);
        row.receiveText = new QLineEdit(this);
        row.receiveText->setObjectName(key("receiveText", i));
        row.receiveText->setMaxLength(kMaxReceiveText);
        row.receiveText->setMinimumWidth(row.receiveText->fontMetrics().averageCharWidth() * 16);
        row.receiveText->setText(receiveTexts[i]);

        QGridLayout *grid = m_ui->rowsLayout;
        grid->addWidget(label, i, 0);
        grid->addWidget(row.text, i, 1);
        grid->addWidget(row.crlf, i, 2);
        grid->addWidget(row.hex, i, 3);
        grid->addWidget(row.receiveOn, i, 4);
        grid->addWidget(row.receiveText, i, 5);
        connect(row.receiveOn, &QCheckBox::toggled, this, &CHotKeyDlg::updateReceiveEdits);
        // A mark goes as soon as the field is changed.
        for (QLineEdit *edit : {row.text, row.receiveText})
            connect(edit, &QLineEdit::textEdited, edit, [edit] { edit->setStyleSheet({}); });
    }
    // Rows in reading order for the Tab key, then the buttons.
    QWidget *previous = nullptr;
    for (const Row &row : m_rows) {
        for (QWidget *w : {static_cast<QWidget *>(row.text), static_cast<QWidget *>(row.crlf),
                           static_cast<QWidget *>(row.hex), static_cast<QWidget *>(row.receiveOn),
                           static_cast<QWidget *>(row.receiveText)}) {
            if (previous)
                setTabOrder(previous, w);
            previous = w;
        }
    }
    setTabOrder(previous, m_ui->okButton);
    setTabOrder(m_ui->okButton, m_ui->cancelButton);
    updateReceiveEdits();
    // As large as the rows and buttons need, no larger.
    resize(sizeHint());
}

CHotKeyDlg::~CHotKeyDlg() = default;

void CHotKeyDlg::updateReceiveEdits()
{
    for (const Row &row : m_rows)
        row.receiveText->setEnabled(row.receiveOn->isChecked());
}

QLineEdit *CHotKeyDlg::markBadHex()
{
    QLineEdit *first = nullptr;
    for (const Row &row : m_rows) {
        const bool hex = !m_framing && row.hex->isChecked();
        for (QLineEdit *edit : {row.text, row.receiveOn->isChecked() ? row.receiveText : nullptr}) {
            if (!edit)
                continue;
            const bool bad = hex && !SendFraming::wholeHexPairs(edit->text());
            edit->setStyleSheet(bad ? QStringLiteral("QLineEdit { background: #ffd6d6; }")
                                    : QString());
            edit->setToolTip(bad ? tr("Not whole pairs of hex digits: with framing \"none\" "
                                      "this cannot be sent or matched.")
                                 : QString());
            if (bad && !first)
                first = edit;
        }
    }
    return first;
}

void CHotKeyDlg::accept()
{
    // Nothing half-parsed is stored for sending: the user puts it right first.
    if (QLineEdit *bad = markBadHex()) {
        uiServices().beep();
        bad->setFocus();
        bad->selectAll();
        return;
    }
    std::uint32_t mask = 0;
    // All keys in one write, in the order they belong in the file.
    QList<std::pair<QString, QString>> keys;
    for (int i = 0; i < kHotKeys; ++i) {
        const Row &row = m_rows[i];
        keys.append({key("HotKeyText", i), row.text->text()});
        keys.append({key("HotKeyCRLF", i), flag(row.crlf->isChecked())});
        keys.append({key("HotKeyHex", i), flag(row.hex->isChecked())});
        if (row.receiveOn->isChecked())
            mask |= 1u << i;
        // Kept even while its trigger is off, so that switching it on again
        // finds the text.
        m_receiveTexts[i] = row.receiveText->text();
        keys.append({key("HotKeyReceiveText", i), m_receiveTexts[i]});
    }
    m_autoReplyMask = mask;
    keys.append({QStringLiteral("AutoReply"), QString::number(static_cast<int>(mask))});
    ConfigStore::writeKeys(m_iniPath, kSection, keys);
    QDialog::accept();
}
