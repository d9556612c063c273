#include "Codepage.h"

#include <array>

namespace codepage {
namespace {

// 0x80 to 0x9F of Windows-1252; the five unassigned codes keep their Latin-1 value.
constexpr std::array<char16_t, 32> kHighControls
    = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
       0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
       0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

char16_t charOf(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

QString toUnicode(const char *data, qsizetype size)
{
    QString text(size, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < size; ++i)
        out[i] = charOf(static_cast<unsigned char>(data[i]));
    return text;
}

QString toPrintable(const char *data, qsizetype size)
{
    QString s = toUnicode(data, size);
    for (QChar &c : s) {
        if (c.unicode() < 0x20)
            c = u' ';
    }
    return s;
}

QByteArray fromUnicode(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        char out = '?';
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out = static_cast<char>(c);
        } else {
            for (int k = 0; k < 32; ++k) {
                if (kHighControls[k] == c) {
                    out = static_cast<char>(0x80 + k);
                    break;
                }
            }
        }
        bytes[i] = out;
    }
    return bytes;
}

} // namespace codepage
