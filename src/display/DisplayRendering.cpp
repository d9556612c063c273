#include "DisplayRendering.h"

#include <cstdio>
#include <cstring>

namespace {
// The bytes that text mode converts: 0x00, 0x02, 0x03 and 0x0D.
constexpr bool isSpecial(std::uint8_t b)
{
    return b <= 0x03 ? b != 0x01 : b == 0x0D;
}
} // namespace

QByteArray convertBytesForDisplay(const std::uint8_t *data, qsizetype length, bool mappingOn,
                                  const CharMapTable &table)
{
    QByteArray out;
    convertBytesForDisplay(data, length, mappingOn, table, out);
    return out;
}

void convertBytesForDisplay(const std::uint8_t *data, qsizetype length, bool mappingOn,
                            const CharMapTable &table, QByteArray &out)
{
    static const QByteArray kDot(".");
    const QByteArray &zeroText = mappingOn && !table.text(0).isEmpty() ? table.text(0) : kDot;
    const bool keepLoneCr = mappingOn && (!table.text(13).isEmpty() || !table.text(10).isEmpty());
    out.resize(length); // grows only when code 0 has a longer text
    char *o = out.data();
    qsizetype n = 0;
    qsizetype i = 0;
    while (i < length) {
        // Runs of ordinary bytes are copied in one go.
        qsizetype run = i;
        while (run < length && !isSpecial(data[run]))
            ++run;
        std::memcpy(o + n, data + i, static_cast<std::size_t>(run - i));
        n += run - i;
        if (run == length)
            break;
        i = run;
        const std::uint8_t b = data[i++];
        switch (b) {
        case 0x02:
            break;
        case 0x00:
            if (zeroText.size() == 1) {
                o[n++] = zeroText[0];
            } else {
                out.resize(n);
                out.append(zeroText);
                out.resize(out.size() + (length - i));
                o = out.data();
                n += zeroText.size();
            }
            break;
        case 0x03:
            o[n++] = '\n';
            break;
        default: // 0x0D
            if (i < length && data[i] == 0x0A)
                o[n++] = '\r';
            else
                o[n++] = keepLoneCr ? '\r' : '\n';
        }
    }
    out.resize(n);
}

QByteArray formatTimestamp(const LocalTime &t)
{
    char text[64];
    const int n = std::snprintf(text, sizeof text, "\n%02d.%02d.%04d %02d:%02d:%02d.%03d - ", t.day,
                                t.month, t.year, t.hour, t.minute, t.second, t.millisecond);
    return QByteArray(text, n > 0 ? std::min<int>(n, sizeof text - 1) : 0);
}

QByteArray renderHex(const std::uint8_t *data, qsizetype length, int &column, int bytesPerLine)
{
    static const char kDigits[] = "0123456789ABCDEF";
    const int perLine = bytesPerLine < 1 ? 1 : bytesPerLine;
    QByteArray out;
    out.resize(3 * length + 2 * (length / perLine + 1));
    char *o = out.data();
    qsizetype n = 0;
    for (qsizetype i = 0; i < length; ++i) {
        if (column % perLine == 0) {
            o[n++] = '\r';
            o[n++] = '\n';
        }
        o[n++] = kDigits[data[i] >> 4];
        o[n++] = kDigits[data[i] & 0x0F];
        o[n++] = ' ';
        // The counter wraps within a line's worth so it never overflows.
        column = (column % perLine) + 1;
    }
    out.resize(n);
    return out;
}
