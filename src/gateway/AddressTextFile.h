#pragma once

#include "gateway/GroupAddressEntry.h"

#include <QString>

class QIODevice;

#include <vector>

// The address text file: one gateway definition per line, "S01/2/003:9,E"
// followed by CR LF, no header and nothing after the last line.
namespace gateway {

struct TextFileWrite
{
    bool ok = false;
    QString error; // the system's reason when not ok
};

// Writes all entries and replaces the file whole (AtomicFile), so a failed
// save leaves an existing file as it was.
TextFileWrite writeAddressTextFile(const QString &path,
                                   const std::vector<GroupAddressEntry> &entries);

struct TextFileRead
{
    bool opened = false;
    QString error; // the system's reason when not opened
    std::vector<GroupAddressEntry> entries;
    // The 1-based number of the line that ended the reading (empty, or not
    // starting with "S"); 0 when the file was read to its end.
    int stopLine = 0;
    // The stop line or a line after it is not blank: the file holds more
    // than was read.
    bool textNotRead = false;
    // Lines with a format outside 1-21 (set to 1), lines with bit 15 of the
    // address set (left out).
    EntryTally tally;
};

// Reads definitions line by line until the end of the file or the first
// empty line or line not starting with "S" (upper case). Line ends may be
// CR LF or LF. A format of 0 becomes 1; "D" right after the first ","
// disables receive.
TextFileRead readAddressTextFile(const QString &path);
// The same from a device open for reading.
TextFileRead readAddressText(QIODevice &file);

// The entry of one definition line ("S" included), before normalisation.
GroupAddressEntry parseDefinitionLine(QStringView line);

} // namespace gateway
