#include "GatewayCommands.h"

namespace gateway {

QByteArray frame(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size() + 2);
    out += kStx;
    out += text;
    out += kEtx;
    return out;
}

QByteArray optionFrames(const Options &on)
{
    QByteArray out;
    out.reserve(kOptionCount * 5);
    for (int i = 0; i < kOptionCount; ++i) {
        out += kStx;
        out += kOptionLetters[i];
        out += on[i] ? '+' : '-';
        out += kEtx;
    }
    return out;
}

std::uint16_t ParsePhysicalAddress(QStringView text)
{
    const auto [separators, n] = splitNumbers(text, u'.');
    if (separators < 2)
        return 0;
    return static_cast<std::uint16_t>(((((n[0] << 4) | n[1]) & 0xFF) << 8 | n[2]) & 0xFFFF);
}

std::uint16_t physicalAddressFromFields(int area, int line, int device)
{
    return ParsePhysicalAddress(QString::asprintf("%02d.%02d.%03d", area, line, device));
}

QString physicalAddressText(std::uint16_t word)
{
    return QString::asprintf("%02d.%02d.%03d", word >> 12, (word >> 8) & 15, word & 255);
}

QByteArray physicalAddressFrame(std::uint16_t word)
{
    return frame(QByteArray("P:") + physicalAddressText(word).toLatin1());
}

QByteArray eraseFrame()
{
    return frame("ERASE!");
}

QByteArray definitionFrames(const std::vector<GroupAddressEntry> &entries)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(entries.size()) * 18);
    for (GroupAddressEntry e : entries) {
        out += kStx;
        appendDefinition(out, e);
        out += kEtx;
    }
    return out;
}

} // namespace gateway
