#include "GatewayDlg.h"

#include "ui_GatewayDlg.h"

#include "gateway/AddressTextFile.h"
#include "gateway/GaFile.h"
#include "gateway/GatewayCommands.h"
#include "gateway/GatewayLink.h"
#include "gateway/GatewayUpload.h"
#include "gateway/GroupAddressModel.h"
#include "platform/StringTable.h"
#include "platform/UiServices.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QTimer>

namespace {
// The six number fields take digits only; more than five would only fold.
constexpr int kFieldDigits = 5;

QString nativePath(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}
} // namespace

CGatewayDlg::CGatewayDlg(CGatewayLink &link, CGatewayUpload &upload, const QString &iniPath,
                         const QString &programDir, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::CGatewayDlg>())
    , m_link(link)
    , m_upload(upload)
    , m_iniPath(iniPath)
    , m_programDir(programDir)
    , m_model(new CGroupAddressModel(this))
{
    m_ui->setupUi(this);
    m_options = {m_ui->optionOD, m_ui->optionOE, m_ui->optionOG, m_ui->optionOH,
                 m_ui->optionON, m_ui->optionOR, m_ui->optionOS, m_ui->optionOV,
                 m_ui->optionOX, m_ui->optionOQ, m_ui->optionOW};

    // Without a running terminal nothing could be sent while the dialog is open.
    m_bRunningAtOpen = m_link.isRunning();
    updateSendButtons();
    connect(&m_upload, &CGatewayUpload::pendingChanged, this, &CGatewayDlg::updateSendButtons);

    auto *digits
        = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    for (QLineEdit *edit : {m_ui->paAreaEdit, m_ui->paLineEdit, m_ui->paDeviceEdit,
                            m_ui->gaMainEdit, m_ui->gaMiddleEdit, m_ui->gaSubEdit}) {
        edit->setValidator(digits);
        edit->setMaxLength(kFieldDigits);
    }

    QTableView *list = m_ui->addressList;
    list->setModel(m_model);
    list->setColumnWidth(CGroupAddressModel::AddressColumn, 64);
    list->setColumnWidth(CGroupAddressModel::ReceiveColumn, 64);
    list->setColumnWidth(CGroupAddressModel::FormatColumn, 128);
    list->horizontalHeader()->setStretchLastSection(true);
    list->horizontalHeader()->setSectionsClickable(false);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Rows of one height keep a table of tens of thousands of rows quick.
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
    list->verticalHeader()->hide();
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CGatewayDlg::OnGroupAddressItemChanged);
    // The fields show the selected row also when the row itself changes (an
    // Add of the address it holds), not only when another row is selected.
    connect(m_model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &from, const QModelIndex &to) {
                const QModelIndexList selected
                    = m_ui->addressList->selectionModel()->selectedRows();
                if (!selected.isEmpty() && selected.first().row() >= from.row()
                    && selected.first().row() <= to.row())
                    OnGroupAddressItemChanged();
            });

    for (int f = 1; f <= GroupAddressEntry::kFormatCount; ++f)
        m_ui->formatCombo->addItem(gateway::formatName(f));
    m_ui->formatCombo->setCurrentIndex(0);
    m_ui->receiveCombo->setCurrentIndex(0);

    connect(m_ui->sendOptionsButton, &QPushButton::clicked, this, &CGatewayDlg::OnSendOptions);
    connect(m_ui->sendAddressButton, &QPushButton::clicked, this,
            &CGatewayDlg::OnSendPhysicalAddress);
    connect(m_ui->sendTableButton, &QPushButton::clicked, this, &CGatewayDlg::OnSendGroupAddresses);
    connect(m_ui->addButton, &QPushButton::clicked, this, &CGatewayDlg::OnAddGroupAddress);
    connect(m_ui->removeButton, &QPushButton::clicked, this, &CGatewayDlg::OnRemoveGroupAddress);
    connect(m_ui->removeAllButton, &QPushButton::clicked, this,
            &CGatewayDlg::OnRemoveAllGroupAddresses);
    connect(m_ui->saveButton, &QPushButton::clicked, this, &CGatewayDlg::OnSaveAddressFile);
    connect(m_ui->loadButton, &QPushButton::clicked, this, &CGatewayDlg::OnLoadAddressFile);
    connect(m_ui->importButton, &QPushButton::clicked, this, &CGatewayDlg::OnImportGaFile);

    // No button is the dialog's default: Enter must never send or close
    // unasked (see keyPressEvent).
    for (QPushButton *b : findChildren<QPushButton *>())
        b->setAutoDefault(false);

    LoadGatewaySettings();
}

void CGatewayDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    // Enter presses the focused button, and adds what the group address fields hold.
    QWidget *focus = focusWidget();
    if (auto *button = qobject_cast<QPushButton *>(focus)) {
        if (button->isEnabled())
            button->click();
    } else if (focus == m_ui->gaMainEdit || focus == m_ui->gaMiddleEdit
               || focus == m_ui->gaSubEdit) {
        OnAddGroupAddress();
    }
}

CGatewayDlg::~CGatewayDlg() = default;

int CGatewayDlg::fieldValue(const QLineEdit *edit)
{
    return gateway::leadingNumber(edit->text());
}

void CGatewayDlg::updateSendButtons()
{
    const bool enabled = m_bRunningAtOpen && !m_upload.isPending();
    for (QPushButton *b : {m_ui->sendOptionsButton, m_ui->sendAddressButton, m_ui->sendTableButton})
        b->setEnabled(enabled);
}

// --- commands ---

void CGatewayDlg::OnSendOptions()
{
    gateway::Options on{};
    for (int i = 0; i < gateway::kOptionCount; ++i)
        on[i] = m_options[i]->isChecked();
    SendGatewayText(m_link, gateway::optionFrames(on));
}

void CGatewayDlg::OnSendPhysicalAddress()
{
    const std::uint16_t word = gateway::physicalAddressFromFields(
        fieldValue(m_ui->paAreaEdit), fieldValue(m_ui->paLineEdit), fieldValue(m_ui->paDeviceEdit));
    SendGatewayText(m_link, gateway::physicalAddressFrame(word));
}

void CGatewayDlg::OnSendGroupAddresses()
{
    m_upload.start(m_model->entries());
}

// --- the group address table ---

void CGatewayDlg::selectRow(int row)
{
    QTableView *list = m_ui->addressList;
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex index = m_model->index(row, 0);
    list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                       | QItemSelectionModel::Rows);
    list->scrollTo(index);
}

void CGatewayDlg::OnAddGroupAddress()
{
    const std::uint16_t word = gateway::groupAddressFromFields(
        fieldValue(m_ui->gaMainEdit), fieldValue(m_ui->gaMiddleEdit), fieldValue(m_ui->gaSubEdit));
    if (word & 0x8000) {
        // No EIB group address has bit 15 set (main group 16, for example).
        uiServices().beep();
        return;
    }
    const auto format = static_cast<std::uint8_t>(m_ui->formatCombo->currentIndex() + 1);
    const auto flag = static_cast<std::uint8_t>(m_ui->receiveCombo->currentIndex());
    const int row = m_model->addOrUpdate(GroupAddressEntry::make(word, flag, format));
    selectRow(row);
}

void CGatewayDlg::OnRemoveGroupAddress()
{
    // The fields as typed, not folded: only an address in range can name a row.
    const int main = fieldValue(m_ui->gaMainEdit);
    const int middle = fieldValue(m_ui->gaMiddleEdit);
    const int sub = fieldValue(m_ui->gaSubEdit);
    if (main < 0 || main > 15 || middle < 0 || middle > 7 || sub < 0 || sub > 255)
        return;
    const int row
        = m_model->findAddress(static_cast<std::uint16_t>(main << 11 | middle << 8 | sub));
    if (row < 0)
        return;
    const QModelIndexList selected = m_ui->addressList->selectionModel()->selectedRows();
    const int other
        = selected.isEmpty() || selected.first().row() == row ? -1 : selected.first().row();
    m_model->removeEntry(row);
    // The row that followed takes the selection. After the last row there is
    // none, but a row selected elsewhere keeps its selection (the view would
    // otherwise hand the removed row's selection on to the row before it).
    if (row < m_model->rowCount())
        selectRow(row);
    else if (other >= 0)
        selectRow(other);
    else
        m_ui->addressList->clearSelection();
    OnGroupAddressItemChanged(); // an unchanged selection reports nothing
}

void CGatewayDlg::OnRemoveAllGroupAddresses()
{
    if (uiServices().question(loadString(StringId::RemoveAllAddressesQuestion), windowTitle(),
                              false)
        == UiServices::Answer::Yes)
        m_model->clear();
}

void CGatewayDlg::OnGroupAddressItemChanged()
{
    const QModelIndexList selected = m_ui->addressList->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        for (QLineEdit *edit : {m_ui->gaMainEdit, m_ui->gaMiddleEdit, m_ui->gaSubEdit})
            edit->clear();
        m_ui->formatCombo->setCurrentIndex(0);
        m_ui->receiveCombo->setCurrentIndex(0);
        return;
    }
    const GroupAddressEntry e = m_model->entry(selected.first().row());
    m_ui->formatCombo->setCurrentIndex(e.format() - 1);
    m_ui->receiveCombo->setCurrentIndex(e.receiveFlag());
    m_ui->gaMainEdit->setText(QString::number((e.word() >> 11) & 15));
    m_ui->gaMiddleEdit->setText(QString::number((e.word() >> 8) & 7));
    m_ui->gaSubEdit->setText(QString::number(e.word() & 255));
}

// --- storage ---

void CGatewayDlg::LoadGatewaySettings()
{
    const GatewaySettings s = gateway::loadGatewaySettings(m_iniPath);
    m_model->replaceAll(s.entries);
    for (int i = 0; i < gateway::kOptionCount; ++i)
        m_options[i]->setChecked(s.options[i]);
    m_ui->paAreaEdit->setText(QString::number(s.physicalAddress >> 12));
    m_ui->paLineEdit->setText(QString::number((s.physicalAddress >> 8) & 15));
    m_ui->paDeviceEdit->setText(QString::number(s.physicalAddress & 255));

    if (s.readTally.rejected == 0 && s.readTally.adjusted == 0)
        return;
    // A hand-edited INI file: say what was made of it once the dialog shows.
    QStringList text;
    if (s.readTally.rejected != 0)
        text << tr("Entries of the section \"GAS\" that are no EIB group address (bit 15 of "
                   "the address set, or no 32-bit number) were left out; they will be missing "
                   "from the INI file when this dialog closes. Entries left out: %1")
                    .arg(s.readTally.rejected);
    if (s.readTally.adjusted != 0)
        text << tr("Entries of the section \"GAS\" with a format outside 1 - 21 or a receive "
                   "flag above 1 now have format 1 or receive disabled. Entries changed: %1")
                    .arg(s.readTally.adjusted);
    QTimer::singleShot(0, this, [this, message = text.join(QStringLiteral("\n\n"))] {
        uiServices().messageBox(message, windowTitle(), UiServices::Icon::Warning);
    });
}

bool CGatewayDlg::SaveGatewaySettings()
{
    GatewaySettings s;
    s.entries = m_model->entries();
    for (int i = 0; i < gateway::kOptionCount; ++i)
        s.options[i] = m_options[i]->isChecked();
    s.physicalAddress = gateway::physicalAddressFromFields(
        fieldValue(m_ui->paAreaEdit), fieldValue(m_ui->paLineEdit), fieldValue(m_ui->paDeviceEdit));
    return gateway::saveGatewaySettings(m_iniPath, s);
}

void CGatewayDlg::done(int result)
{
    if (!SaveGatewaySettings()) {
        uiServices().beep();
        const QString text
            = tr("The gateway settings could not be written to the INI file\n%1\n\nClose the "
                 "dialog all the same? The changes since it opened will be lost.")
                  .arg(nativePath(m_iniPath));
        if (uiServices().question(text, windowTitle(), false) != UiServices::Answer::Yes)
            return;
    }
    QDialog::done(result);
}

// --- address files ---

void CGatewayDlg::showFileProblem(const QString &text, const QString &title)
{
    uiServices().beep();
    uiServices().messageBox(text, title, UiServices::Icon::Warning);
}

void CGatewayDlg::replaceTable(std::vector<GroupAddressEntry> entries)
{
    m_model->replaceAll(std::move(entries));
    m_ui->addressList->scrollToTop();
}

void CGatewayDlg::OnSaveAddressFile()
{
    if (m_model->rowCount() == 0)
        return;
    const QFileInfo ini(m_iniPath);
    UiServices::FileDialog d;
    d.title = loadString(StringId::SaveGatewayAddressesTitle);
    d.filter = QStringLiteral("GATEX-Textfile (*.txt)|*.TXT|All Files (*.*)|*.*||");
    d.defaultSuffix = QStringLiteral("TXT");
    d.directory = ini.absolutePath();
    const QString name = ini.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    d.proposedName = (dot < 0 ? name : name.left(dot)) + QStringLiteral(".txt");
    d.confirmOverwrite = true;
    const QString path = uiServices().saveFileName(d);
    if (path.isEmpty())
        return;
    const gateway::TextFileWrite written = gateway::writeAddressTextFile(path, m_model->entries());
    if (!written.ok) {
        uiServices().beep();
        uiServices().messageBox(tr("The address file could not be written:\n%1\n\n%2")
                                    .arg(nativePath(path), written.error),
                                d.title, UiServices::Icon::Stop);
    }
}

void CGatewayDlg::OnLoadAddressFile()
{
    UiServices::FileDialog d;
    d.title = loadString(StringId::LoadGatewayAddressesTitle);
    d.filter = QStringLiteral("GATEX-Text files (*.TXT)|*.TXT|All Files (*.*)|*.*||");
    d.defaultSuffix = QStringLiteral("TXT");
    d.directory = m_programDir;
    d.confirmOverwrite = false;
    const QString path = uiServices().openFileName(d);
    if (path.isEmpty())
        return;
    const gateway::TextFileRead read = gateway::readAddressTextFile(path);
    if (!read.opened) {
        showFileProblem(
            tr("The address file could not be opened:\n%1\n\n%2").arg(nativePath(path), read.error),
            d.title);
        return;
    }

    QStringList notes;
    if (read.stopLine != 0 && (read.textNotRead || read.entries.empty()))
        notes << tr("Reading stopped at line %1, which is empty or does not begin with \"S\"; "
                    "the rest of the file was not read.")
                     .arg(read.stopLine);
    if (read.tally.rejected != 0)
        notes << tr("Lines that name no valid EIB group address (bit 15 set, as by main group "
                    "16) were left out. Lines left out: %1")
                     .arg(read.tally.rejected);
    if (read.tally.adjusted != 0)
        notes << tr("Lines with a format outside 1 - 21 now have format 1. Lines changed: %1")
                     .arg(read.tally.adjusted);

    const int rows = static_cast<int>(read.entries.size());
    if (rows == 0) {
        notes.prepend(tr("The file holds no group address definition; the table is unchanged."));
    } else {
        replaceTable(read.entries);
        if (!notes.isEmpty())
            notes.prepend(tr("Group address definitions read: %1").arg(rows));
    }
    if (!notes.isEmpty())
        showFileProblem(nativePath(path) + QStringLiteral("\n\n")
                            + notes.join(QStringLiteral("\n\n")),
                        d.title);
}

void CGatewayDlg::OnImportGaFile()
{
    UiServices::FileDialog d;
    d.title = loadString(StringId::ImportGatewayAddressesTitle);
    d.filter = QStringLiteral("GA files (*.GA)|*.GA|All Files (*.*)|*.*||");
    d.directory = m_programDir;
    d.confirmOverwrite = false;
    const QString path = uiServices().openFileName(d);
    if (path.isEmpty())
        return;
    const gateway::GaFileRead read = gateway::readGaFile(path);
    const QString file = nativePath(path);
    switch (read.status) {
    case gateway::GaFileRead::CannotOpen:
        showFileProblem(tr("The .GA file could not be opened:\n%1\n\n%2").arg(file, read.error),
                        d.title);
        return;
    case gateway::GaFileRead::ReadError:
        showFileProblem(tr("The .GA file could not be read:\n%1\n\n%2").arg(file, read.error),
                        d.title);
        return;
    case gateway::GaFileRead::NotGaFile:
        showFileProblem(tr("%1\n\nThis is no .GA address file: its header does not begin with "
                           "\"GRPADRLST\". The table is unchanged.")
                            .arg(file),
                        d.title);
        return;
    case gateway::GaFileRead::WrongRecordSize:
        showFileProblem(tr("%1\n\nThe records of this .GA file are %2 bytes long; only records "
                           "of 160 bytes can be read. The table is unchanged.")
                            .arg(file, QString::number(read.recordSize)),
                        d.title);
        return;
    case gateway::GaFileRead::Ok:
        break;
    }
    if (read.entries.empty()) {
        showFileProblem(
            tr("%1\n\nThe file holds no valid group address. The table is unchanged.").arg(file),
            d.title);
        return;
    }
    replaceTable(read.entries);
    if (read.trailingBytes != 0)
        showFileProblem(tr("%1\n\nGroup addresses imported: %2. The file ends with an "
                           "incomplete record of %3 bytes, which was ignored.")
                            .arg(file, QString::number(read.entries.size()),
                                 QString::number(read.trailingBytes)),
                        d.title);
}
