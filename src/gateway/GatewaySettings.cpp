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
            ++s.readTally.rejected;
            continue;
        }
        GroupAddressEntry entry{static_cast<std::uint32_t>(value)};
        if (!s.readTally.take(entry))
            continue;
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
