// Receive triggers of the hotkeys:
// - a prepared trigger holds at most 254 bytes and no NUL,
// - a hotkey fires exactly when its auto-reply bit is set and the bytes
//   received since it last fired end with its trigger,
// - matches carry over block boundaries: bytes fed in any blocks fire the same
//   hotkeys in the same order as fed in one block.
#include "FuzzInput.h"

#include "display/CharacterMapping.h"
#include "input/ReceiveTriggers.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    std::array<QString, CReceiveTriggers::kCount> texts;
    for (QString &t : texts)
        t = QString::fromUtf8(in.sizedBytes(in.boolean() ? 4 : 300));
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
    const QByteArray stream = in.rest();
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(stream.constData());
    const int length = static_cast<int>(stream.size());

    CReceiveTriggers triggers;
    triggers.prepare(texts, mappingOn, table);
    for (int i = 0; i < CReceiveTriggers::kCount; ++i) {
        FUZZ_CHECK(triggers.trigger(i).size() <= CReceiveTriggers::kMaxLength);
        FUZZ_CHECK(!triggers.trigger(i).contains('\0'));
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
