#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class CharMapTable;

// Matching of received bytes against the twelve hotkeys' receive texts.
// Matches carry over from one block to the next. A byte that breaks a match
// falls back to the longest match it still continues, so "ab" is found in
// "aab"; after a trigger fired, matching starts afresh (no overlapping fires).
class CReceiveTriggers
{
public:
    static constexpr int kCount = 12;
    static constexpr int kMaxLength = 254;

    // Builds the triggers and resets every match. A receive text is matched
    // as text (reverse-mapped while mapping is on, at most 254 characters,
    // cut at a NUL), or, for the hotkeys in `hexMask`, as the bytes of its hex
    // digits (blanks ignored, NUL included). A hex text that is not whole
    // pairs of digits gives no trigger at all; those hotkeys are returned.
    std::uint32_t prepare(const std::array<QString, kCount> &receiveTexts, bool mappingOn,
                          const CharMapTable &table, std::uint32_t hexMask = 0);
    void resetMatches();
    // Feeds the bytes; returns the hotkeys that fire, in order (several may
    // fire on one byte, in ascending order).
    std::vector<int> feed(const std::uint8_t *data, int length, std::uint32_t autoReplyMask);

    const QByteArray &trigger(int index) const { return m_triggers[index]; }
    int matchPosition(int index) const { return m_positions[index]; }

private:
    std::array<QByteArray, kCount> m_triggers;
    // For each matched length n, the longest proper prefix of the trigger that
    // is also a suffix of its first n characters.
    std::array<std::vector<int>, kCount> m_fallback;
    std::array<int, kCount> m_positions{};
};
