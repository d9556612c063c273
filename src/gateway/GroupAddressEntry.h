#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>

// One row of the gateway's group address table, packed into 32 bits:
// the group address word in bits 16-31, the receive flag in bits 8-15
// (0: receive enabled, "E"; otherwise disabled, "D") and the value format
// 1-21 in bits 0-7. Never 0, since the format is at least 1.
struct GroupAddressEntry
{
    static constexpr int kFormatCount = 21;

    std::uint32_t value = 0;

    static constexpr GroupAddressEntry make(std::uint16_t word, std::uint8_t flag,
                                            std::uint8_t format)
    {
        return {(std::uint32_t(word) << 16) | (std::uint32_t(flag) << 8) | format};
    }

    constexpr std::uint16_t word() const { return static_cast<std::uint16_t>(value >> 16); }
    constexpr std::uint8_t receiveFlag() const { return static_cast<std::uint8_t>(value >> 8); }
    constexpr std::uint8_t format() const { return static_cast<std::uint8_t>(value); }
    constexpr bool receiveDisabled() const { return receiveFlag() != 0; }

    friend constexpr bool operator==(GroupAddressEntry, GroupAddressEntry) = default;
};

namespace gateway {

// How an entry read from a file or typed by the user is taken into the table.
enum class EntryCheck {
    Valid,    // taken as it is
    Adjusted, // format outside 1-21 set to 1, receive flag above 1 set to 1 ("D")
    Rejected, // bit 15 of the address word is set: no EIB group address
};

// Brings `entry` into the form every table row has; Rejected leaves it alone.
EntryCheck normaliseEntry(GroupAddressEntry &entry);

// What the entries read from a file came to.
struct EntryTally
{
    int adjusted = 0;
    int rejected = 0;

    // Normalises `entry` and counts it; false when it is rejected.
    bool take(GroupAddressEntry &entry);
};

// The decimal number at the start of `text`: leading blanks and a sign
// allowed, reading stops at the first non-digit, no digits give 0. The wide
// form saturates far beyond 32 bits, so a value that does not fit can be
// told from one that does; the other saturates at the limits of int.
long long leadingWideNumber(QStringView text);
int leadingNumber(QStringView text);

// The numbers of "a<sep>b<sep>c": the one at the start, the one after the
// first separator and the one after the next; `separators` is how many
// separators there were (0 to 2), numbers without one are 0.
struct NumberTriple
{
    int separators = 0;
    std::uint32_t n[3] = {};
};
NumberTriple splitNumbers(QStringView text, QChar separator);

// "main/middle/sub" or "main/sub" into the 16-bit word, folded without a
// range check (sub 300 with middle 2 gives middle 3 and sub 44). No "/": 0.
std::uint16_t ParseGroupAddress(QStringView text);

// The word of the three typed fields: "%02d/%d/%03d" of them, parsed.
std::uint16_t groupAddressFromFields(int main, int middle, int sub);

// "%02d/%d/%03d" of main (bits 11-14), middle (bits 8-10) and sub (bits 0-7).
QString groupAddressText(std::uint16_t word);
void appendGroupAddressText(QByteArray &out, std::uint16_t word);

// The definition "S01/2/003:9,E" of an entry, as the gateway command and the
// address text file have it: "E" when the receive flag is 0, "D" otherwise.
void appendDefinition(QByteArray &out, GroupAddressEntry entry);

// The English name of format 1-21 ("9: EIB float value"), and the same in
// the language of the user interface; empty outside 1-21.
const char *formatSourceName(int format);
QString formatName(int format);

} // namespace gateway
