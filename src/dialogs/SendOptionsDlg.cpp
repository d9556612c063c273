#include "SendOptionsDlg.h"

#include "ui_SendOptionsDlg.h"

#include "dialogs/SendOptionsForm.h"
#include "terminal/SendReport.h"

namespace {
void fill(QComboBox *box, const QList<CSendOptionsForm::Choice> &choices)
{
    for (const CSendOptionsForm::Choice &c : choices)
        box->addItem(c.text, c.value);
}
} // namespace

CSendOptionsDlg::CSendOptionsDlg(SendSettings &settings, const QString &iniPath, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::CSendOptionsDlg>())
    , m_settings(settings)
    , m_iniPath(iniPath)
{
    m_ui->setupUi(this);
    fill(m_ui->framing, CSendOptionsForm::framingChoices());
    fill(m_ui->lineEnd, CSendOptionsForm::lineEndChoices());
    fill(m_ui->checksum, CSendOptionsForm::checksumChoices());
    m_ui->charDelay->setMaximum(SendSettings::kMaxCharDelayMs);
    m_ui->lineDelay->setMaximum(SendSettings::kMaxLineDelayMs);
    m_ui->framing->setToolTip(
        tr("The r+k devices want STX (0x02) before and ETX (0x03) after every send. Choose "
           "\"none\" for a modem, a Modbus RTU device or anything else that takes the bytes "
           "as they are; then a Hex-Data hotkey sends its bytes in text mode too, and its "
           "receive text is read as hex bytes."));
    m_ui->checksum->setToolTip(tr("Covers every byte of the send but a leading STX, ETX included, "
                                  "and follows it; the line end comes after the checksum."));
    m_ui->lineDelay->setToolTip(
        tr("After each line of a pasted text, each hotkey and each hex input sent."));
    setValues(settings);
    for (QComboBox *box : {m_ui->framing, m_ui->lineEnd, m_ui->checksum})
        connect(box, &QComboBox::currentIndexChanged, this, &CSendOptionsDlg::updateNote);
    for (QSpinBox *box : {m_ui->charDelay, m_ui->lineDelay})
        connect(box, &QSpinBox::valueChanged, this, &CSendOptionsDlg::updateNote);
    connect(m_ui->checksumText, &QCheckBox::toggled, this, &CSendOptionsDlg::updateNote);
    connect(m_ui->defaultsButton, &QPushButton::clicked, this,
            [this] { setValues(SendSettings()); });
    updateNote();
}

CSendOptionsDlg::~CSendOptionsDlg() = default;

void CSendOptionsDlg::setValues(const SendSettings &v)
{
    const auto select = [](QComboBox *box, int value) {
        box->setCurrentIndex(std::max(0, box->findData(value)));
    };
    select(m_ui->framing, v.framing ? 1 : 0);
    select(m_ui->lineEnd, v.lineEnd);
    select(m_ui->checksum, v.checksum);
    m_ui->checksumText->setChecked(v.checksumText);
    m_ui->charDelay->setValue(v.charDelayMs);
    m_ui->lineDelay->setValue(v.lineDelayMs);
}

SendSettings CSendOptionsDlg::values() const
{
    SendSettings v;
    v.framing = m_ui->framing->currentData().toInt() != 0;
    v.lineEnd = m_ui->lineEnd->currentData().toInt();
    v.checksum = m_ui->checksum->currentData().toInt();
    v.checksumText = m_ui->checksumText->isChecked();
    v.charDelayMs = m_ui->charDelay->value();
    v.lineDelayMs = m_ui->lineDelay->value();
    return v;
}

void CSendOptionsDlg::updateNote()
{
    const SendSettings v = values();
    m_ui->checksumText->setEnabled(v.checksum != 0);
    // What two sends become with these values, as examples.
    m_ui->note->setText(sendreport::examples(v));
}

void CSendOptionsDlg::accept()
{
    CSendOptionsForm::apply(values(), m_settings, m_iniPath);
    QDialog::accept();
}
