// Receive triggers of the hotkeys:
// - a prepared text trigger holds at most 254 bytes and no NUL,
// - a hex trigger (framing off, Hex-Data) is the bytes of its text's hex
//   digits when they are whole pairs (NUL included), else empty and reported,
// - a hotkey fires exactly when its auto-reply bit is set and the bytes
//   received since it last fired end with its trigger,
// - matches carry over block boundaries: bytes fed in any blocks fire the same
//   hotkeys in the same order as fed in one block.
#include "FuzzInput.h"

#include "display/CharacterMapping.h"
#include "input/ReceiveTriggers.h"

#include <algorithm>
#include <cctype>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    std::array<QByteArray, CReceiveTriggers::kCount> raw;
    for (QByteArray &t : raw)
        t = in.sizedBytes(in.boolean() ? 4 : 300);
    CharMapTable table;
    const bool mappingOn = in.boolean();
    for (int i = in.intInRange(0, 6); i > 0; --i) {
        const int code = in.intInRange(0, 255);
        table.setText(code, in.sizedBytes(8));
    }
    const auto mask = static_cast<std::uint32_t>(in.number(0, 0xFFFFFFFFLL));
    std::vector<int> cuts;
    for (int i = in.intInRange(0, 8); i > 0; --i)
        cuts.push_back(in.intInRange(0, 4096));
    // Hex triggers; some texts become the hex digits of their bytes, so that
    // whole pairs are common.
    const auto hexMask = static_cast<std::uint32_t>(in.number(0, 0xFFF));
    const auto asDigits = static_cast<std::uint32_t>(in.number(0, 0xFFF));
    std::array<QString, CReceiveTriggers::kCount> texts;
    for (int i = 0; i < CReceiveTriggers::kCount; ++i)
        texts[i] = (hexMask & asDigits & (1u << i)) ? QString::fromLatin1(raw[i].toHex(' '))
                                                    : QString::fromUtf8(raw[i]);
    const QByteArray stream = in.rest();
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(stream.constData());
    const int length = static_cast<int>(stream.size());

    CReceiveTriggers triggers;
    const std::uint32_t refused = triggers.prepare(texts, mappingOn, table, hexMask);
    for (int i = 0; i < CReceiveTriggers::kCount; ++i) {
        const QByteArray &t = triggers.trigger(i);
        FUZZ_CHECK(t.size() <= CReceiveTriggers::kMaxLength);
        if (!(hexMask & (1u << i))) {
            FUZZ_CHECK(!t.contains('\0'));
            FUZZ_CHECK(!(refused & (1u << i)));
            continue;
        }
        const QString digits = QString(texts[i]).remove(u' ');
        const bool pairs
            = digits.size() % 2 == 0 && std::all_of(digits.begin(), digits.end(), [](QChar c) {
                  return c.unicode() < 128 && std::isxdigit(c.unicode());
              });
        FUZZ_CHECK(bool(refused & (1u << i)) == !pairs);
        FUZZ_CHECK(
            t == (pairs ? QByteArray::fromHex(digits.toLatin1()).left(t.size()) : QByteArray()));
        FUZZ_CHECK(!pairs
                   || t.size()
                          == std::min<qsizetype>(digits.size() / 2, CReceiveTriggers::kMaxLength));
    }

    const std::vector<int> whole = triggers.feed(bytes, length, mask);

    // Byte by byte, against the rule itself.
    triggers.resetMatches();
    std::vector<int> single;
    std::array<int, CReceiveTriggers::kCount> since{};
    for (int k = 0; k < length; ++k) {
        std::vector<int> expected;
        for (int i = 0; i < CReceiveTriggers::kCount; ++i) {
            const QByteArray &t = triggers.trigger(i);
            if ((mask & (1u << i)) && !t.isEmpty() && k + 1 - since[i] >= t.size()
                && stream.mid(k + 1 - t.size(), t.size()) == t) {
                expected.push_back(i);
                since[i] = k + 1;
            }
        }
        const std::vector<int> fired = triggers.feed(bytes + k, 1, mask);
        FUZZ_CHECK(fired == expected);
        single.insert(single.end(), fired.begin(), fired.end());
    }
    FUZZ_CHECK(single == whole);

    // In blocks cut where the input says.
    triggers.resetMatches();
    std::vector<int> blocks;
    int start = 0;
    for (int cut : cuts) {
        const int end = std::min(length, start + cut);
        const std::vector<int> fired = triggers.feed(bytes + start, end - start, mask);
        blocks.insert(blocks.end(), fired.begin(), fired.end());
        start = end;
    }
    const std::vector<int> fired = triggers.feed(bytes + start, length - start, mask);
    blocks.insert(blocks.end(), fired.begin(), fired.end());
    FUZZ_CHECK(blocks == whole);
    return 0;
}
