#pragma once

#include "gateway/GroupAddressEntry.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <vector>

// The media gateway's text commands. Every command is one frame: STX, the
// command text in ASCII, ETX; frames written together follow one another
// directly.
namespace gateway {

inline constexpr char kStx = '\x02';
inline constexpr char kEtx = '\x03';

inline constexpr int kOptionCount = 11;
// The option letters in the order of the dialog's check boxes and of the INI keys 1-11.
inline constexpr std::array<const char *, kOptionCount> kOptionLetters
    = {"OD", "OE", "OG", "OH", "ON", "OR", "OS", "OV", "OX", "OQ", "OW"};

using Options = std::array<bool, kOptionCount>;

// STX, `text`, ETX.
QByteArray frame(QByteArrayView text);

// The eleven option frames "OD+" ... "OW-", in order, in one text.
QByteArray optionFrames(const Options &on);

// "area.line.device" into the 16-bit word (area bits 12-15, line 8-11, device
// 0-7), folded without a range check; 0 unless the text has two dots.
std::uint16_t ParsePhysicalAddress(QStringView text);
// The word of the three typed fields: "%02d.%02d.%03d" of them, parsed.
std::uint16_t physicalAddressFromFields(int area, int line, int device);
// "%02d.%02d.%03d" of area, line and device.
QString physicalAddressText(std::uint16_t word);
// The frame "P:01.01.005".
QByteArray physicalAddressFrame(std::uint16_t word);

// The frame "ERASE!".
QByteArray eraseFrame();
// One definition frame "S01/2/003:9,E" per entry, in the given order.
QByteArray definitionFrames(const std::vector<GroupAddressEntry> &entries);

} // namespace gateway
