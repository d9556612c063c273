// The gateway's group addresses from outside: typed or read address texts,
// the address text file and .GA files.
// - Every entry taken into the table has bit 15 of its address clear, a
//   format of 1 to 21 and a receive flag of 0 or 1; an entry is left out
//   exactly when its address has bit 15 set.
// - An address without bit 15 written as text ("%02d/%d/%03d") reads back as
//   itself, and so does a whole definition line ("S01/2/003:9,E").
// - The address text file: the rows read plus the rows left out are the lines
//   before the first empty line or line not beginning with "S".
// - A .GA file: "GRPADRLST", 160-byte records; every record is either a row
//   (its address, in file order) or counted as skipped, and a short last
//   record is counted as trailing bytes.
#include "FuzzInput.h"

#include "gateway/AddressTextFile.h"
#include "gateway/GaFile.h"
#include "gateway/GroupAddressEntry.h"

#include <QBuffer>
#include <QtEndian>

#include <cstring>

using gateway::GaFileRead;

namespace {

void checkTableEntry(GroupAddressEntry e)
{
    FUZZ_CHECK((e.word() & 0x8000) == 0);
    FUZZ_CHECK(e.format() >= 1 && e.format() <= GroupAddressEntry::kFormatCount);
    FUZZ_CHECK(e.receiveFlag() <= 1);
}

void checkAddressText(const QByteArray &text, std::uint16_t word, std::uint8_t flag,
                      std::uint8_t format)
{
    // Any text: what the table takes has no bit 15.
    GroupAddressEntry typed = gateway::parseDefinitionLine(QString::fromLatin1(text));
    const bool bit15 = (typed.word() & 0x8000) != 0;
    gateway::EntryTally tally;
    FUZZ_CHECK(tally.take(typed) == !bit15);
    FUZZ_CHECK(tally.rejected == (bit15 ? 1 : 0));
    if (!bit15)
        checkTableEntry(typed);

    // Writing and reading back.
    word &= 0x7FFF;
    FUZZ_CHECK(gateway::ParseGroupAddress(gateway::groupAddressText(word)) == word);
    GroupAddressEntry entry = GroupAddressEntry::make(word, flag, format);
    gateway::normaliseEntry(entry);
    QByteArray line;
    gateway::appendDefinition(line, entry);
    GroupAddressEntry back = gateway::parseDefinitionLine(QString::fromLatin1(line));
    gateway::normaliseEntry(back);
    FUZZ_CHECK(back == entry);
}

// The lines the address text file reader takes as definitions: up to the
// first one that is empty or does not begin with "S" (line ends stripped).
int definitionLines(const QByteArray &bytes)
{
    int count = 0;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype nl = bytes.indexOf('\n', pos);
        const qsizetype next = nl < 0 ? bytes.size() : nl + 1;
        qsizetype end = nl < 0 ? bytes.size() : nl;
        while (end > pos && bytes[end - 1] == '\r')
            --end;
        if (end == pos || bytes[pos] != 'S')
            break;
        ++count;
        pos = next;
    }
    return count;
}

void checkAddressFile(const QByteArray &bytes)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    const gateway::TextFileRead read = gateway::readAddressText(device);
    FUZZ_CHECK(read.opened);
    for (GroupAddressEntry e : read.entries)
        checkTableEntry(e);
    const int lines = definitionLines(bytes);
    FUZZ_CHECK(int(read.entries.size()) + read.tally.rejected == lines);
    FUZZ_CHECK(read.tally.adjusted <= int(read.entries.size()));
    FUZZ_CHECK(read.stopLine == 0 || read.stopLine == lines + 1);
}

void checkGaFile(const QByteArray &bytes)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    const GaFileRead read = gateway::readGa(device);
    const bool isGa = bytes.size() >= gateway::kGaHeaderSize
                      && std::memcmp(bytes.constData(), "GRPADRLST", 10) == 0;
    if (!isGa) {
        FUZZ_CHECK(read.status == GaFileRead::NotGaFile);
        return;
    }
    const auto recordSize = qFromLittleEndian<quint32>(bytes.constData() + 20);
    if (recordSize != gateway::kGaRecordSize) {
        FUZZ_CHECK(read.status == GaFileRead::WrongRecordSize && read.recordSize == recordSize);
        return;
    }
    FUZZ_CHECK(read.status == GaFileRead::Ok);
    const qsizetype body = bytes.size() - gateway::kGaHeaderSize;
    FUZZ_CHECK(read.trailingBytes == body % gateway::kGaRecordSize);
    FUZZ_CHECK(qsizetype(read.entries.size()) + read.skippedRecords
               == body / gateway::kGaRecordSize);
    std::size_t row = 0;
    for (qsizetype at = gateway::kGaHeaderSize; at + gateway::kGaRecordSize <= bytes.size();
         at += gateway::kGaRecordSize) {
        const auto word = qFromLittleEndian<quint16>(bytes.constData() + at);
        if (word == 0 || word > 0x7FFF)
            continue;
        FUZZ_CHECK(row < read.entries.size());
        const GroupAddressEntry e = read.entries[row++];
        FUZZ_CHECK(e.word() == word && e.receiveFlag() == 0);
        checkTableEntry(e);
    }
    FUZZ_CHECK(row == read.entries.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    const int kind = in.intInRange(0, 2);
    switch (kind) {
    case 0: {
        const auto word = static_cast<std::uint16_t>(in.number(0, 0xFFFF));
        const auto flag = static_cast<std::uint8_t>(in.intInRange(0, 255));
        const auto format = static_cast<std::uint8_t>(in.intInRange(0, 255));
        checkAddressText(in.rest(), word, flag, format);
        break;
    }
    case 1:
        checkAddressFile(in.rest());
        break;
    default: {
        // A .GA header in front of the bytes, so that the records get read.
        const bool withHeader = in.boolean();
        QByteArray file = in.rest();
        if (withHeader && !file.startsWith("GRPADRLST")) {
            QByteArray header(gateway::kGaHeaderSize, '\0');
            std::memcpy(header.data(), "GRPADRLST", 9);
            qToLittleEndian<quint32>(gateway::kGaRecordSize, header.data() + 20);
            file.prepend(header);
        }
        checkGaFile(file);
    }
    }
    return 0;
}
