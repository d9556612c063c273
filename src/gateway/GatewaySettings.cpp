#include "GatewaySettings.h"

#include "platform/ProfileFile.h"

#include <QList>

#include <climits>
#include <utility>

namespace gateway {

namespace {

const QString kTableSection = QStringLiteral("GAS");
const QString kOptionSection = QStringLiteral("SETTINGS");
const QString kAddressSection = QStringLiteral("PA");
const QString kAddressKey = QStringLiteral("Address");
constexpr int kAddressMaxChars = 30;

// The number at the start of a "GAS" value, wide enough to tell a value
// beyond 32 bits from one that fits: blanks, a sign, digits.
long long leadingWideNumber(QStringView text)
{
    text = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long number = 0;
    constexpr long long kCap = 1LL << 40;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        number = number * 10 + (text[i].unicode() - u'0');
        if (number > kCap)
            number = kCap;
    }
    return negative ? -number : number;
}

} // namespace

GatewaySettings loadGatewaySettings(const QString &iniPath)
{
    GatewaySettings s;
    const profile::Snapshot ini(iniPath);
    for (int n = 1;; ++n) {
        const long long value
            = leadingWideNumber(ini.getString(kTableSection, QString::number(n), QString(), -1));
        if (value == 0)
            break;
        // The program writes entries as signed 32-bit numbers; negative ones
        // carry bit 15 of the address and are refused below like any other.
        if (value < INT_MIN || value > UINT_MAX) {
            ++s.rejectedEntries;
            continue;
        }
        GroupAddressEntry entry{static_cast<std::uint32_t>(value)};
        switch (normaliseEntry(entry)) {
        case EntryCheck::Rejected:
            ++s.rejectedEntries;
            continue;
        case EntryCheck::Adjusted:
            ++s.adjustedEntries;
            break;
        case EntryCheck::Valid:
            break;
        }
        s.entries.push_back(entry);
    }
    for (int i = 0; i < kOptionCount; ++i)
        s.options[i] = ini.getInt(kOptionSection, QString::number(i + 1), 0) != 0;
    s.physicalAddress = ParsePhysicalAddress(
        ini.getString(kAddressSection, kAddressKey, QString(), kAddressMaxChars));
    return s;
}

bool saveGatewaySettings(const QString &iniPath, const GatewaySettings &settings)
{
    QList<std::pair<QString, QString>> table;
    table.reserve(static_cast<qsizetype>(settings.entries.size()) + 1);
    int key = 1;
    for (GroupAddressEntry e : settings.entries)
        table.append({QString::number(key++), QString::number(static_cast<qint32>(e.value))});
    table.append({QString::number(key), QString()}); // end mark

    QList<std::pair<QString, QString>> options;
    for (int i = 0; i < kOptionCount; ++i)
        options.append({QString::number(i + 1),
                        settings.options[i] ? QStringLiteral("1") : QStringLiteral("0")});

    // Every section is written even when an earlier one failed.
    bool ok = profile::writeStrings(kTableSection, table, iniPath);
    ok = profile::writeStrings(kOptionSection, options, iniPath) && ok;
    ok = profile::writeString(kAddressSection, kAddressKey,
                              physicalAddressText(settings.physicalAddress), iniPath)
         && ok;
    return ok;
}

} // namespace gateway
