#include "GroupAddressModel.h"

#include "platform/StringTable.h"

#include <algorithm>

namespace {
bool byWord(GroupAddressEntry a, GroupAddressEntry b)
{
    return a.word() < b.word();
}
} // namespace

CGroupAddressModel::CGroupAddressModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    for (int f = 1; f <= GroupAddressEntry::kFormatCount; ++f)
        m_formatNames << gateway::formatName(f);
}

int CGroupAddressModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int CGroupAddressModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CGroupAddressModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const GroupAddressEntry e = entry(index.row());
    if (role == EntryRole)
        return QVariant::fromValue(e.value);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case AddressColumn:
        return gateway::groupAddressText(e.word());
    case ReceiveColumn:
        return e.receiveDisabled() ? QStringLiteral("D") : QStringLiteral("E");
    case FormatColumn:
        // Rows are normalised on their way in; a stray value shows its number.
        return e.format() >= 1 && e.format() <= m_formatNames.size() ? m_formatNames[e.format() - 1]
                                                                     : QString::number(e.format());
    }
    return {};
}

QVariant CGroupAddressModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case AddressColumn:
        return loadString(StringId::GatewayAddressColumn);
    case ReceiveColumn:
        return loadString(StringId::GatewayReceiveColumn);
    case FormatColumn:
        return loadString(StringId::GatewayFormatColumn);
    }
    return {};
}

std::vector<GroupAddressEntry>::const_iterator
CGroupAddressModel::upperBound(std::uint16_t word) const
{
    return std::upper_bound(m_entries.begin(), m_entries.end(), GroupAddressEntry::make(word, 0, 0),
                            byWord);
}

int CGroupAddressModel::InsertGroupAddressRow(GroupAddressEntry entry)
{
    const int row = static_cast<int>(upperBound(entry.word()) - m_entries.begin());
    beginInsertRows({}, row, row);
    m_entries.insert(m_entries.begin() + row, entry);
    endInsertRows();
    return row;
}

int CGroupAddressModel::findAddress(std::uint16_t word) const
{
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(),
                                     GroupAddressEntry::make(word, 0, 0), byWord);
    return it != m_entries.end() && it->word() == word ? static_cast<int>(it - m_entries.begin())
                                                       : -1;
}

int CGroupAddressModel::addOrUpdate(GroupAddressEntry entry)
{
    const int row = findAddress(entry.word());
    if (row < 0)
        return InsertGroupAddressRow(entry);
    m_entries[static_cast<std::size_t>(row)] = entry;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    return row;
}

void CGroupAddressModel::removeEntry(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    m_entries.erase(m_entries.begin() + row);
    endRemoveRows();
}

void CGroupAddressModel::clear()
{
    replaceAll({});
}

void CGroupAddressModel::replaceAll(std::vector<GroupAddressEntry> entries)
{
    std::stable_sort(entries.begin(), entries.end(), byWord);
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}
