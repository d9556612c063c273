#pragma once

#include "gateway/GroupAddressEntry.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

// The group address table: entries kept in ascending order of their address
// (which is the order of the address texts, every word having bit 15 clear),
// shown in three columns: address, "E"/"D" and the format's name. Rows of the
// same address keep the order they were inserted in.
class CGroupAddressModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { AddressColumn, ReceiveColumn, FormatColumn, ColumnCount };
    // The entry's 32-bit value, for Qt::UserRole.
    static constexpr int EntryRole = Qt::UserRole;

    explicit CGroupAddressModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const std::vector<GroupAddressEntry> &entries() const { return m_entries; }
    GroupAddressEntry entry(int row) const { return m_entries[static_cast<std::size_t>(row)]; }

    // Adds a row at its sorted place, behind rows of the same address, and
    // returns its index. The entry must be normalised (bit 15 clear).
    int InsertGroupAddressRow(GroupAddressEntry entry);
    // The row of `entry`'s address takes the entry; without one, a row is
    // inserted. Returns the row's index.
    int addOrUpdate(GroupAddressEntry entry);
    // The first row of this address, or -1.
    int findAddress(std::uint16_t word) const;
    void removeEntry(int row);
    void clear();
    // Replaces all rows at once (a file loaded, the INI read); the same as
    // clearing and inserting every entry in turn, but in one step.
    void replaceAll(std::vector<GroupAddressEntry> entries);

private:
    std::vector<GroupAddressEntry>::const_iterator upperBound(std::uint16_t word) const;

    std::vector<GroupAddressEntry> m_entries;
    QStringList m_formatNames; // in the language of the user interface
};
