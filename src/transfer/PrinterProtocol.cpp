#include "PrinterProtocol.h"

#include <cctype>
#include <optional>

namespace PrinterProtocol {

QString sendHeader(const QString &printerName, std::uint32_t size, std::uint32_t crc)
{
    // In one pass: a "%1" in the name must stay text, not take the size.
    return QStringLiteral("#T=%1,%2,%3*")
        .arg(printerName, QString::number(size), QString::number(crc));
}

QString request(const QString &printerName)
{
    return QStringLiteral("#G=%1*").arg(printerName);
}

QString proposedLocalName(const QString &printerName)
{
    return printerName.mid(printerName.lastIndexOf(u'\\') + 1);
}

namespace {

struct Number
{
    bool negative = false;
    bool hasDigits = false;
    bool tooLarge = false;
    std::uint32_t value = 0;
};

// Reads a decimal number the way the C library does: leading blanks, an
// optional sign, then digits up to the first other character.
Number readNumber(const QByteArray &text)
{
    Number n;
    qsizetype i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        n.negative = text[i++] == '-';
    std::uint64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        n.hasDigits = true;
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
        if (value > 0xFFFFFFFFu) {
            n.tooLarge = true;
            value = 0xFFFFFFFFu + 1ull; // stays beyond 32 bits, cannot overflow
        }
    }
    n.value = static_cast<std::uint32_t>(value);
    return n;
}

} // namespace

AnswerHeader parseAnswerHeader(const QByteArray &text)
{
    AnswerHeader h;
    const qsizetype first = text.indexOf(',');
    if (first < 0) {
        h.status = AnswerHeader::Status::NoSizeField;
        return h;
    }
    const QByteArray afterFirst = text.mid(first + 1);
    const Number size = readNumber(afterFirst);
    // A minus sign is refused unless the number is 0, which "-0" still is.
    if (!size.hasDigits || size.tooLarge || (size.negative && size.value != 0)) {
        h.status = AnswerHeader::Status::BadSize;
        return h;
    }
    const qsizetype second = afterFirst.indexOf(',');
    if (second < 0) {
        h.status = AnswerHeader::Status::NoCrcField;
        return h;
    }
    const Number crc = readNumber(afterFirst.mid(second + 1));
    if (crc.tooLarge || (crc.negative && crc.value != 0)) {
        h.status = AnswerHeader::Status::BadCrc;
        return h;
    }
    h.status = AnswerHeader::Status::Ok;
    h.size = size.value;
    h.crc = crc.value;
    return h;
}

} // namespace PrinterProtocol
