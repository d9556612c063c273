#include "CharMapDlg.h"

#include "ui_CharMapDlg.h"

#include "settings/ConfigStore.h"
#include "platform/Codepage.h"
#include "platform/ProfileFile.h"
#include "platform/StringTable.h"
#include "platform/UiServices.h"

#include <QHeaderView>

CCharMapDlg::CCharMapDlg(CharMapTable &table, bool &mappingOn, const QString &iniPath,
                         QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::CCharMapDlg>())
    , m_table(table)
    , m_mappingOn(mappingOn)
    , m_iniPath(iniPath)
    , m_work(table)
{
    m_ui->setupUi(this);
    m_ui->activeCheck->setChecked(mappingOn);
    m_ui->codeEdit->setMaxLength(2);
    m_ui->textEdit->setMaxLength(CharMapTable::kMaxTextLength + 1);

    QTreeWidget *list = m_ui->list;
    list->setHeaderLabels(
        {loadString(StringId::CharMapCodeColumn), loadString(StringId::CharMapTextColumn)});
    list->setColumnWidth(0, 42);
    list->setColumnWidth(1, 150);
    list->header()->setSectionsClickable(false);
    list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->setSortingEnabled(false);

    connect(m_ui->addButton, &QPushButton::clicked, this, &CCharMapDlg::onAdd);
    connect(m_ui->removeButton, &QPushButton::clicked, this, &CCharMapDlg::onRemove);
    connect(list, &QTreeWidget::itemSelectionChanged, this, &CCharMapDlg::onSelectionChanged);
    fillList();
}

CCharMapDlg::~CCharMapDlg() = default;

std::optional<int> CCharMapDlg::parseCode(const QString &text)
{
    const auto digit = [](QChar c) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            return u - u'0';
        if (u >= u'a' && u <= u'f')
            return u - u'a' + 10;
        if (u >= u'A' && u <= u'F')
            return u - u'A' + 10;
        return -1;
    };
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    if (i == text.size())
        return 0; // an empty code field stands for code 0
    if (digit(text[i]) < 0)
        return std::nullopt;
    int value = 0;
    for (; i < text.size() && digit(text[i]) >= 0; ++i) {
        value = value * 16 + digit(text[i]);
        if (value > 0xFF)
            return std::nullopt;
    }
    return value;
}

void CCharMapDlg::fillList()
{
    // Refilling is no selection change of the user's: the edits keep their text.
    QSignalBlocker block(m_ui->list);
    m_ui->list->clear();
    for (int code = 0; code < CharMapTable::kCodes; ++code) {
        const QByteArray &text = m_work.text(code);
        if (text.isEmpty())
            continue;
        auto *item = new QTreeWidgetItem(m_ui->list);
        item->setText(0, QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper());
        item->setText(1, codepage::toUnicode(text));
    }
}

void CCharMapDlg::onAdd()
{
    const std::optional<int> code = parseCode(m_ui->codeEdit->text());
    if (!code) {
        uiServices().beep();
        return;
    }
    m_work.setText(*code, codepage::fromUnicode(m_ui->textEdit->text()));
    fillList();
}

void CCharMapDlg::onRemove()
{
    const QList<QTreeWidgetItem *> selected = m_ui->list->selectedItems();
    if (selected.isEmpty())
        return;
    if (const std::optional<int> code = parseCode(selected.first()->text(0)))
        m_work.setText(*code, {});
    fillList();
}

void CCharMapDlg::onSelectionChanged()
{
    const QList<QTreeWidgetItem *> selected = m_ui->list->selectedItems();
    if (selected.isEmpty()) {
        m_ui->codeEdit->clear();
        m_ui->textEdit->clear();
        return;
    }
    m_ui->codeEdit->setText(selected.first()->text(0));
    m_ui->textEdit->setText(selected.first()->text(1));
}

void CCharMapDlg::accept()
{
    const QString section = QStringLiteral("CharTexts");
    m_mappingOn = m_ui->activeCheck->isChecked();
    m_table = m_work;
    // All keys in one write: 257 separate saves would take seconds.
    QList<std::pair<QString, QString>> keys;
    keys.append(
        {QStringLiteral("Active"), m_mappingOn ? QStringLiteral("1") : QStringLiteral("0")});
    for (int code = 0; code < CharMapTable::kCodes; ++code)
        keys.append({QString::number(code), codepage::toUnicode(m_table.text(code))});
    ConfigStore::writeKeys(m_iniPath, section, keys);
    QDialog::accept();
}
