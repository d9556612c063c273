#include "PortSettingsDlg.h"

#include "ui_PortSettingsDlg.h"

#include "platform/UiServices.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QRegularExpressionValidator>

namespace {

// Plugged-in adapters show up in /dev in several steps (the node, then the
// by-id link); the lists are read once the changes have settled.
constexpr int kRefreshDelayMs = 400;

// Popups as wide as their longest entry, whatever the field's width.
void fitPopup(QComboBox *list)
{
    QAbstractItemView *view = list->view();
    view->setMinimumWidth(view->sizeHintForColumn(0) + 2 * view->frameWidth() + 16);
}

} // namespace

CPortSettingsDlg::CPortSettingsDlg(TerminalSettings &settings, const QString &iniPath,
                                   QWidget *parent, const DeviceRoots &roots)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::CPortSettingsDlg>())
    , m_settings(settings)
    , m_iniPath(iniPath)
    , m_roots(roots)
    , m_form(settings, roots)
{
    m_ui->setupUi(this);

    // Number fields take digits only; a value the port cannot use is
    // reported when the terminal starts.
    const QRegularExpression digits(QStringLiteral("[0-9]{0,9}"));
    m_ui->baudEdit->setValidator(new QRegularExpressionValidator(digits, this));
    for (QLineEdit *edit :
         {m_ui->dataBitsEdit, m_ui->stopBitsEdit, m_ui->portNumberEdit, m_ui->limitEdit})
        edit->setValidator(new QRegularExpressionValidator(digits, this));
    m_ui->baudEdit->addItems(CPortSettingsForm::baudRates());
    m_ui->addressEdit->setMaxLength(254);
    m_ui->logFileEdit->setMaxLength(254);
    m_ui->comPortList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_ui->comPortList->setMinimumContentsLength(28);
    m_ui->usbDeviceList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_ui->usbDeviceList->setMinimumContentsLength(28);
    m_ui->logFileButton->setToolTip(tr("Choose the log file"));
    m_ui->refreshSerialButton->setToolTip(tr("Reads the serial devices present again"));
    m_ui->refreshUsbButton->setToolTip(tr("Reads the USB printers present again"));

    setValues(m_form.initialValues());

    for (QRadioButton *radio : {m_ui->serialRadio, m_ui->networkRadio, m_ui->usbRadio})
        connect(radio, &QRadioButton::toggled, this, &CPortSettingsDlg::showGroup);
    connect(m_ui->refreshSerialButton, &QPushButton::clicked, this,
            &CPortSettingsDlg::refreshDevices);
    connect(m_ui->refreshUsbButton, &QPushButton::clicked, this, &CPortSettingsDlg::refreshDevices);
    connect(m_ui->logFileButton, &QToolButton::clicked, this, &CPortSettingsDlg::chooseLogFile);

    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(kRefreshDelayMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &CPortSettingsDlg::refreshDevices);
    watchDevices();
}

CPortSettingsDlg::~CPortSettingsDlg() = default;

void CPortSettingsDlg::watchDevices()
{
    if (!m_watcher) {
        m_watcher = new QFileSystemWatcher(this);
        connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
                [this] { m_refreshTimer.start(); });
    }
    // The by-id and usb folders come and go with the first adapter or printer.
    for (const QString &dir : {m_roots.dev, m_roots.dev + QStringLiteral("/serial/by-id"),
                               m_roots.dev + QStringLiteral("/usb")}) {
        if (QFileInfo(dir).isDir() && !m_watcher->directories().contains(dir))
            m_watcher->addPath(dir);
    }
}

void CPortSettingsDlg::showGroup()
{
    QWidget *page = m_ui->serialRadio->isChecked()    ? m_ui->serialPage
                    : m_ui->networkRadio->isChecked() ? m_ui->networkPage
                                                      : m_ui->usbPage;
    m_ui->groupStack->setCurrentWidget(page);
}

void CPortSettingsDlg::fillComList(const QString &current)
{
    QComboBox *list = m_ui->comPortList;
    // Refilling the list empties the field; what the user is typing comes
    // back as it was, with the cursor and selection where they were.
    QLineEdit *edit = list->lineEdit();
    const QString before = edit->text();
    const int cursor = edit->cursorPosition();
    const int selStart = edit->selectionStart();
    const int selLength = edit->selectionLength();
    QSignalBlocker block(list);
    list->clear();
    for (const CPortSettingsForm::ComChoice &choice : m_form.comChoices())
        list->addItem(choice.text);
    const int index = list->findText(current, Qt::MatchExactly);
    list->setCurrentIndex(index);
    if (index < 0)
        list->setEditText(current);
    if (edit->text() == before) {
        // A selection made backwards keeps its cursor at its start.
        if (selLength > 0 && cursor == selStart)
            edit->setSelection(selStart + selLength, -selLength);
        else if (selLength > 0)
            edit->setSelection(selStart, selLength);
        else
            edit->setCursorPosition(cursor);
    }
    fitPopup(list);
}

void CPortSettingsDlg::fillUsbList(const QString &current)
{
    QComboBox *list = m_ui->usbDeviceList;
    QSignalBlocker block(list);
    list->clear();
    list->addItems(m_form.usbNames());
    list->setCurrentIndex(std::max(0, list->findText(current, Qt::MatchExactly)));
    fitPopup(list);
}

void CPortSettingsDlg::refreshDevices()
{
    const QString com = m_form.refreshSerialDevices(m_ui->comPortList->currentText());
    fillComList(com.isEmpty() ? m_ui->comPortList->currentText() : com);
    fillUsbList(m_form.refreshUsbDevices(m_ui->usbDeviceList->currentText()));
    watchDevices();
}

void CPortSettingsDlg::setValues(const CPortSettingsForm::Values &v)
{
    m_ui->serialRadio->setChecked(v.link == CPortSettingsForm::Link::Serial);
    m_ui->networkRadio->setChecked(v.link == CPortSettingsForm::Link::Network);
    m_ui->usbRadio->setChecked(v.link == CPortSettingsForm::Link::Usb);
    showGroup();

    fillUsbList(v.usbName);
    m_ui->addressEdit->setText(v.address);
    m_ui->portNumberEdit->setText(v.portNumber);
    m_ui->udpCheck->setChecked(v.udp);

    fillComList(v.comText);
    m_ui->parityList->setCurrentIndex(v.parity);
    m_ui->protocolList->setCurrentIndex(v.protocol);
    m_ui->baudEdit->setCurrentIndex(m_ui->baudEdit->findText(v.baud, Qt::MatchExactly));
    m_ui->baudEdit->setEditText(v.baud);
    m_ui->dataBitsEdit->setText(v.dataBits);
    m_ui->stopBitsEdit->setText(v.stopBits);

    m_ui->limitCheck->setChecked(v.limitOn);
    m_ui->limitEdit->setText(v.limit);
    m_ui->logCheck->setChecked(v.logOn);
    m_ui->logFileEdit->setText(v.logFile);
}

CPortSettingsForm::Values CPortSettingsDlg::values() const
{
    CPortSettingsForm::Values v;
    v.link = m_ui->serialRadio->isChecked() ? CPortSettingsForm::Link::Serial
             : m_ui->usbRadio->isChecked()  ? CPortSettingsForm::Link::Usb
                                            : CPortSettingsForm::Link::Network;
    v.comText = m_ui->comPortList->currentText();
    v.baud = m_ui->baudEdit->currentText();
    v.dataBits = m_ui->dataBitsEdit->text();
    v.stopBits = m_ui->stopBitsEdit->text();
    v.parity = m_ui->parityList->currentIndex();
    v.protocol = m_ui->protocolList->currentIndex();
    v.address = m_ui->addressEdit->text();
    v.portNumber = m_ui->portNumberEdit->text();
    v.udp = m_ui->udpCheck->isChecked();
    v.usbName = m_ui->usbDeviceList->currentText();
    v.limitOn = m_ui->limitCheck->isChecked();
    v.limit = m_ui->limitEdit->text();
    v.logOn = m_ui->logCheck->isChecked();
    v.logFile = m_ui->logFileEdit->text();
    return v;
}

void CPortSettingsDlg::chooseLogFile()
{
    UiServices::FileDialog dialog;
    dialog.title = tr("Display logfile");
    dialog.filter = tr("Log files (*.log)|*.log|All Files (*.*)|*.*||");
    const QString current = m_ui->logFileEdit->text().trimmed();
    if (!current.isEmpty()) {
        const QFileInfo info(current);
        dialog.directory = info.absolutePath();
        dialog.proposedName = info.fileName();
    }
    dialog.defaultSuffix = QStringLiteral("log");
    // The log is appended to, never replaced.
    dialog.confirmOverwrite = false;
    const QString file = uiServices().saveFileName(dialog);
    if (file.isEmpty())
        return;
    m_ui->logFileEdit->setText(QDir::toNativeSeparators(file));
}

void CPortSettingsDlg::accept()
{
    m_form.apply(values(), m_settings, m_iniPath);
    QDialog::accept();
}
