#include "GroupAddressEntry.h"

#include <QCoreApplication>

#include <algorithm>
#include <climits>

namespace gateway {

namespace {

bool isCSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

void appendDecimal(QByteArray &out, unsigned value, int width)
{
    char digits[10];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int i = n; i < width; ++i)
        out += '0';
    while (n > 0)
        out += digits[--n];
}

// clang-format off
const char *const kFormatNames[GroupAddressEntry::kFormatCount] = {
    QT_TRANSLATE_NOOP("GroupAddressFormat", "1: 1 - 6 bit decimal"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "2: 1 byte ASCII"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "3: Percent 0 - 100 %"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "4: Angle 0 - 360 degrees"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "5: 1 byte unsigned"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "6: 1 byte signed"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "7: 2 byte unsigned"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "8: 2 byte signed"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "9: EIB float value"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "10: EIB time"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "11: EIB date"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "12: 4 byte unsigned"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "13: 4 byte signed"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "14: IEEE float"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "15: Entrance access"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "16: Textstring"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "17: Textstring NUL terminated"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "18: 1 - 14 byte decimal, commaseparated"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "19: 1 - 14 byte hexadecimal, commaseparated"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "20: 1 - 14 byte hexadecimal 2 hex digits per byte"),
    QT_TRANSLATE_NOOP("GroupAddressFormat", "21: 1 - 6 bit hexadecimal"),
};
// clang-format on

} // namespace

EntryCheck normaliseEntry(GroupAddressEntry &entry)
{
    if (entry.word() & 0x8000)
        return EntryCheck::Rejected;
    std::uint8_t format = entry.format();
    std::uint8_t flag = entry.receiveFlag();
    if (format < 1 || format > GroupAddressEntry::kFormatCount)
        format = 1;
    if (flag > 1)
        flag = 1; // any non-zero flag means "receive disabled"
    const GroupAddressEntry normal = GroupAddressEntry::make(entry.word(), flag, format);
    if (normal == entry)
        return EntryCheck::Valid;
    entry = normal;
    return EntryCheck::Adjusted;
}

bool EntryTally::take(GroupAddressEntry &entry)
{
    switch (normaliseEntry(entry)) {
    case EntryCheck::Rejected:
        ++rejected;
        return false;
    case EntryCheck::Adjusted:
        ++adjusted;
        break;
    case EntryCheck::Valid:
        break;
    }
    return true;
}

long long leadingWideNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    constexpr long long kCap = 1LL << 40;
    long long number = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        number = number * 10 + (text[i].unicode() - u'0');
        if (number > kCap)
            number = kCap; // saturate, but read on to the end of the digits
    }
    return negative ? -number : number;
}

int leadingNumber(QStringView text)
{
    return static_cast<int>(std::clamp<long long>(leadingWideNumber(text), INT_MIN, INT_MAX));
}

NumberTriple splitNumbers(QStringView text, QChar separator)
{
    NumberTriple t;
    t.n[0] = static_cast<std::uint32_t>(leadingNumber(text));
    const qsizetype first = text.indexOf(separator);
    if (first < 0)
        return t;
    t.separators = 1;
    t.n[1] = static_cast<std::uint32_t>(leadingNumber(text.mid(first + 1)));
    const qsizetype second = text.indexOf(separator, first + 1);
    if (second < 0)
        return t;
    t.separators = 2;
    t.n[2] = static_cast<std::uint32_t>(leadingNumber(text.mid(second + 1)));
    return t;
}

std::uint16_t ParseGroupAddress(QStringView text)
{
    const auto [separators, n] = splitNumbers(text, u'/');
    if (separators == 0)
        return 0;
    if (separators == 1) // main/sub, the second number an 11-bit sub group
        return static_cast<std::uint16_t>(((n[0] << 11) | n[1]) & 0xFFFF);
    return static_cast<std::uint16_t>(((((n[0] << 3) | n[1]) & 0xFF) << 8 | n[2]) & 0xFFFF);
}

std::uint16_t groupAddressFromFields(int main, int middle, int sub)
{
    return ParseGroupAddress(QString::asprintf("%02d/%d/%03d", main, middle, sub));
}

void appendGroupAddressText(QByteArray &out, std::uint16_t word)
{
    appendDecimal(out, (word >> 11) & 15, 2);
    out += '/';
    appendDecimal(out, (word >> 8) & 7, 1);
    out += '/';
    appendDecimal(out, word & 255, 3);
}

QString groupAddressText(std::uint16_t word)
{
    QByteArray text;
    text.reserve(9);
    appendGroupAddressText(text, word);
    return QString::fromLatin1(text);
}

void appendDefinition(QByteArray &out, GroupAddressEntry entry)
{
    out += 'S';
    appendGroupAddressText(out, entry.word());
    out += ':';
    appendDecimal(out, entry.format(), 1);
    out += ',';
    out += entry.receiveDisabled() ? 'D' : 'E';
}

const char *formatSourceName(int format)
{
    if (format < 1 || format > GroupAddressEntry::kFormatCount)
        return "";
    return kFormatNames[format - 1];
}

QString formatName(int format)
{
    if (format < 1 || format > GroupAddressEntry::kFormatCount)
        return {};
    return QCoreApplication::translate("GroupAddressFormat", kFormatNames[format - 1]);
}

} // namespace gateway
