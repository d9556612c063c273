#include "AddressTextFile.h"

#include "platform/AtomicFile.h"

#include <QFile>

namespace gateway {

namespace {
// Definition lines are short; anything beyond this is cut off unread, so a
// file without line ends cannot make a line of unbounded size.
constexpr qint64 kMaxLineBytes = 4096;

// One line without its end; false at the end of the file.
bool readLine(QIODevice &file, QByteArray &line)
{
    line = file.readLine(kMaxLineBytes);
    if (line.isEmpty())
        return false;
    // Too long: skip the rest of this line.
    for (QByteArray rest = line; !rest.endsWith('\n') && !file.atEnd();)
        rest = file.readLine(kMaxLineBytes);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return true;
}
} // namespace

TextFileWrite writeAddressTextFile(const QString &path,
                                   const std::vector<GroupAddressEntry> &entries)
{
    QByteArray text;
    text.reserve(static_cast<qsizetype>(entries.size()) * 16);
    for (GroupAddressEntry e : entries) {
        appendDefinition(text, e);
        text += "\r\n";
    }
    TextFileWrite result;
    result.ok = AtomicFile::save(path, text, &result.error);
    return result;
}

GroupAddressEntry parseDefinitionLine(QStringView line)
{
    const std::uint16_t word = ParseGroupAddress(line.mid(1));
    // The format follows the ":" after the address; for the fixed widths the
    // program writes that is the eleventh character.
    const qsizetype colon = line.indexOf(u':');
    const int number = colon < 0 ? 0 : leadingNumber(line.mid(colon + 1));
    const std::uint8_t format
        = number == 0 ? 1 : (number > 0 && number <= 255 ? static_cast<std::uint8_t>(number) : 0);
    const qsizetype comma = line.indexOf(u',');
    const bool disabled = comma >= 0 && comma + 1 < line.size() && line[comma + 1] == u'D';
    return GroupAddressEntry::make(word, disabled ? 1 : 0, format);
}

TextFileRead readAddressTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        TextFileRead result;
        result.error = file.errorString();
        return result;
    }
    return readAddressText(file);
}

TextFileRead readAddressText(QIODevice &file)
{
    TextFileRead result;
    result.opened = true;
    QByteArray bytes;
    int lineNumber = 0;
    while (readLine(file, bytes)) {
        ++lineNumber;
        if (result.stopLine == 0 && !bytes.isEmpty() && bytes.front() == 'S') {
            GroupAddressEntry entry = parseDefinitionLine(QString::fromLatin1(bytes));
            if (result.tally.take(entry))
                result.entries.push_back(entry);
            continue;
        }
        // Reading has stopped; only whether more than blank lines follow matters.
        if (result.stopLine == 0)
            result.stopLine = lineNumber;
        if (!bytes.trimmed().isEmpty()) {
            result.textNotRead = true;
            break;
        }
    }
    return result;
}

} // namespace gateway
