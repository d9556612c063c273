#pragma once

#include "gateway/GatewayCommands.h"
#include "gateway/GroupAddressEntry.h"

#include <QString>

#include <cstdint>
#include <vector>

// What the gateway dialog keeps in the INI file between runs: the option
// switches (section "SETTINGS", keys 1-11), the physical address ("PA",
// "Address") and the group address table ("GAS", keys 1 to n, then an empty
// key n + 1 as end mark).
struct GatewaySettings
{
    gateway::Options options{};
    std::uint16_t physicalAddress = 0;
    std::vector<GroupAddressEntry> entries; // normalised, in key order

    // How many "GAS" values were changed on reading (format outside 1-21,
    // receive flag above 1) or left out (bit 15 of the address set, or no
    // 32-bit number).
    gateway::EntryTally readTally;
};

namespace gateway {

// Reads the three sections in one parse of the file. "GAS" ends at the
// first key whose value reads as 0 (missing, empty or the number 0).
GatewaySettings loadGatewaySettings(const QString &iniPath);

// Writes the three sections; false when the file could not be written.
bool saveGatewaySettings(const QString &iniPath, const GatewaySettings &settings);

} // namespace gateway
