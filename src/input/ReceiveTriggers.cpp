#include "ReceiveTriggers.h"

#include "display/CharacterMapping.h"
#include "input/SendFraming.h"
#include "platform/Codepage.h"

std::uint32_t CReceiveTriggers::prepare(const std::array<QString, kCount> &receiveTexts,
                                        bool mappingOn, const CharMapTable &table,
                                        std::uint32_t hexMask)
{
    std::uint32_t refused = 0;
    for (int i = 0; i < kCount; ++i) {
        QByteArray s;
        if (hexMask & (1u << i)) {
            const std::optional<QByteArray> bytes = SendFraming::wholeHexPairs(receiveTexts[i]);
            if (bytes)
                s = *bytes;
            else
                refused |= 1u << i;
        } else {
            s = codepage::fromUnicode(receiveTexts[i]);
            if (mappingOn)
                MapCharacters(s, true, {}, table, true);
            const qsizetype nul = s.indexOf('\0');
            if (nul >= 0)
                s.truncate(nul);
        }
        s.truncate(kMaxLength);
        m_triggers[i] = s;
        std::vector<int> &fallback = m_fallback[i];
        fallback.assign(static_cast<std::size_t>(s.size()) + 1, 0);
        for (qsizetype n = 2, k = 0; n <= s.size(); ++n) {
            while (k > 0 && s[n - 1] != s[k])
                k = fallback[k];
            if (s[n - 1] == s[k])
                ++k;
            fallback[n] = static_cast<int>(k);
        }
    }
    resetMatches();
    return refused;
}

void CReceiveTriggers::resetMatches()
{
    m_positions.fill(0);
}

std::vector<int> CReceiveTriggers::feed(const std::uint8_t *data, int length,
                                        std::uint32_t autoReplyMask)
{
    std::vector<int> fired;
    for (int k = 0; k < length; ++k) {
        const char b = static_cast<char>(data[k]);
        for (int i = 0; i < kCount; ++i) {
            const QByteArray &t = m_triggers[i];
            if (!(autoReplyMask & (1u << i)) || t.isEmpty())
                continue;
            int &position = m_positions[i];
            while (position > 0 && t[position] != b)
                position = m_fallback[i][position];
            if (t[position] == b && ++position >= t.size()) {
                position = 0;
                fired.push_back(i);
            }
        }
    }
    return fired;
}
