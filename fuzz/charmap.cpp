// Character mapping texts, both directions, and their way through the INI:
// - bytes -> Windows-1252 text -> bytes gives the bytes back,
// - forward mapping without timestamps maps each character on its own (the
//   mapping of a + b is the mapping of a followed by that of b), never grows
//   a character beyond the expansion cap and never gives a NUL for a non-NUL,
// - reverse mapping undoes forward mapping for a table of delimited texts,
// - the table written into "CharTexts" and read back is the same table.
#include "FuzzInput.h"

#include "display/CharacterMapping.h"
#include "platform/Codepage.h"
#include "platform/ProfileText.h"

namespace {

CharMapTable tableFrom(FuzzInput &in)
{
    CharMapTable table;
    const int entries = in.intInRange(0, 12);
    for (int i = 0; i < entries; ++i) {
        const int code = in.intInRange(0, 255);
        table.setText(code, in.sizedBytes(34));
    }
    return table;
}

QByteArray forward(QByteArray text, const CharMapTable &table)
{
    FUZZ_CHECK(!MapCharacters(text, false, {}, table, true));
    return text;
}

void checkForward(const CharMapTable &table, const QByteArray &a, const QByteArray &b)
{
    const QByteArray whole = forward(a + b, table);
    FUZZ_CHECK(whole == forward(a, table) + forward(b, table));
    for (int c = 1; c < CharMapTable::kCodes; ++c)
        FUZZ_CHECK(table.expansion(static_cast<unsigned char>(c)).size()
                   <= CharMapTable::kMaxExpansion);
    if (!(a + b).contains('\0'))
        FUZZ_CHECK(!whole.contains('\0'));
}

// Codes that do not occur in `text` get the texts "{name}" with distinct
// names of letters; `text` without letters and braces then maps forward and
// back to itself.
void checkRoundTrip(FuzzInput &in, QByteArray text)
{
    text.replace('{', '(').replace('}', ')');
    for (char &c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            c = '#';
    }
    CharMapTable table;
    int named = 0;
    const int wanted = in.intInRange(0, 40);
    for (int i = 0; i < wanted; ++i) {
        const auto code = static_cast<unsigned char>(in.intInRange(1, 255));
        const bool isLetter = (code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z');
        if (isLetter || code == '{' || code == '}' || !table.text(code).isEmpty())
            continue;
        // Distinct names: a letter run per entry ("a", "b", ..., "za", ...).
        QByteArray name;
        for (int n = ++named; n > 0; n /= 26)
            name.prepend(static_cast<char>('a' + n % 26));
        table.setText(code, '{' + name + '}');
    }
    QByteArray mapped = forward(text, table);
    MapCharacters(mapped, true, {}, table, true);
    FUZZ_CHECK(mapped == text);
}

// The dialog stores each text as its Windows-1252 characters; start-up reads
// at most 30 characters back. (The mapped codes and one without a text.)
void checkStoredTable(const CharMapTable &table)
{
    QList<int> codes = {0x7F};
    for (int code = 0; code < CharMapTable::kCodes; ++code) {
        if (!table.text(code).isEmpty())
            codes.append(code);
    }
    profile::KeyValues keys;
    for (int code : codes)
        keys.append({QString::number(code), codepage::toUnicode(table.text(code))});
    const profile::Snapshot ini
        = profile::Snapshot::fromBytes(profile::withStrings({}, QStringLiteral("CharTexts"), keys));
    for (int code : codes) {
        const QByteArray &text = table.text(code);
        // A line holds no line end: CR and LF are stored as blanks.
        QByteArray expected = text;
        expected.replace('\r', ' ').replace('\n', ' ');
        FUZZ_CHECK(
            codepage::fromUnicode(ini.getString(QStringLiteral("CharTexts"), QString::number(code),
                                                QString(), CharMapTable::kMaxTextLength))
            == expected);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    const CharMapTable table = tableFrom(in);
    const QByteArray text = in.sizedBytes(512);
    const QByteArray more = in.sizedBytes(512);

    FUZZ_CHECK(codepage::fromUnicode(codepage::toUnicode(text)) == text);
    checkForward(table, text, more);
    checkStoredTable(table);
    checkRoundTrip(in, text + more);
    return 0;
}
