// The hex input and hex texts:
// - any sequence of keys, typed characters, mouse actions and scrolling keeps
//   the model's invariants (1 to 65536 bytes, caret inside them or at the
//   append position, selection ends inside them, top a multiple of the row
//   length within 0 … maxTop),
// - the copied text is the selected bytes as "%02X " pairs (hex area) or as
//   the characters themselves (character area),
// - that hex text sent as a hotkey's hex data gives the same bytes back, and
//   any hotkey hex text gives one byte per two digits,
// - read strictly (framing off), a hex text gives bytes exactly when it is
//   whole pairs of hex digits and blanks, and then the same bytes.
#include "FuzzInput.h"

#include "input/HexEditModel.h"
#include "input/SendFraming.h"

#include <algorithm>
#include <cctype>

namespace {

void checkInvariants(const CHexEditModel &m)
{
    if (!m.hasData())
        return;
    FUZZ_CHECK(m.length() >= 1 && m.length() <= CHexEditModel::kMaxLength);
    // Behind the last byte only where typing appends one.
    FUZZ_CHECK(m.caret() >= 0 && m.caret() <= m.caretLimit());
    FUZZ_CHECK(!m.atAppendPosition() || m.area() == CHexEditModel::HighNibble
               || m.area() == CHexEditModel::CharArea);
    if (m.hasSelection()) {
        FUZZ_CHECK(m.selectionStart() >= 0 && m.selectionStart() <= m.length());
        FUZZ_CHECK(m.selectionEnd() >= 0 && m.selectionEnd() <= m.length());
    }
    FUZZ_CHECK(m.top() >= 0 && m.top() <= m.maxTop());
    FUZZ_CHECK(m.top() % m.bytesPerRow() == 0);
    FUZZ_CHECK(m.bytesPerRow() >= 1 && m.bytesPerRow() <= CHexEditModel::kMaxBytesPerRow);
}

void checkCopy(const CHexEditModel &m)
{
    const std::vector<std::uint8_t> bytes = m.selectedBytes();
    const std::string text = m.selectedText();
    if (m.area() == CHexEditModel::CharArea) {
        FUZZ_CHECK(text.size() == bytes.size());
        return;
    }
    FUZZ_CHECK(text.size() == 3 * bytes.size());
    static const char kDigits[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        FUZZ_CHECK(text[3 * i] == kDigits[bytes[i] >> 4]);
        FUZZ_CHECK(text[3 * i + 1] == kDigits[bytes[i] & 0x0F]);
        FUZZ_CHECK(text[3 * i + 2] == ' ');
    }
    // Pasted into a hotkey marked as hex data, the copy sends the same bytes,
    // with framing off too, where only whole pairs are taken.
    const QByteArray copied(reinterpret_cast<const char *>(bytes.data()),
                            static_cast<qsizetype>(bytes.size()));
    FUZZ_CHECK(SendFraming::hotKeyHexBytes(QString::fromStdString(text)) == copied);
    FUZZ_CHECK(SendFraming::wholeHexPairs(QString::fromStdString(text)) == copied);
}

void step(CHexEditModel &m, FuzzInput &in)
{
    switch (in.intInRange(0, 12)) {
    case 0:
        m.keyDown(static_cast<CHexEditModel::Key>(in.intInRange(0, 10)), in.boolean(),
                  in.boolean());
        break;
    case 1:
    case 2:
        m.character(static_cast<std::uint8_t>(in.intInRange(0, 255)), in.boolean());
        break;
    case 3:
        m.mousePress(in.intInRange(-5, 300), in.intInRange(-5, 80), in.boolean());
        break;
    case 4:
        m.beginDrag();
        m.mouseDrag(in.intInRange(-5, 300), in.intInRange(-5, 80), in.intInRange(-1, 1));
        break;
    case 5:
        m.mouseRelease();
        break;
    case 6:
        m.scroll(static_cast<CHexEditModel::Scroll>(in.intInRange(0, 5)),
                 in.intInRange(-10, 70000));
        break;
    case 7:
        m.moveCaret(in.intInRange(-3, 3), in.intInRange(-3, 3));
        break;
    case 8:
        m.setBytesPerRow(in.intInRange(-2, 300));
        break;
    case 9:
        m.setOptions(in.boolean(), in.boolean(), in.boolean(), in.boolean());
        m.setClientLines(in.intInRange(-1, 60));
        break;
    case 10:
        m.selectAll();
        break;
    case 11:
        m.deleteSelection();
        break;
    default: {
        const int a = in.intInRange(-2, 70000);
        const int n = in.intInRange(-2, 300);
        if (in.boolean())
            m.insertBytes(a, n);
        else
            m.deleteRange(a, a + n);
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    const QByteArray initial = in.sizedBytes(300);
    const QString hexText = QString::fromUtf8(in.sizedBytes(200));
    const int steps = in.intInRange(0, 64);

    // Any hotkey hex text: one byte for every two digits left after the blanks.
    const bool crlf = in.boolean();
    const QString digits
        = QString(hexText).remove(u' ') + (crlf ? QStringLiteral("0D0A") : QString());
    FUZZ_CHECK(SendFraming::hotKeyHexBytes(hexText, crlf ? "\r\n" : "").size()
               == (digits.size() + 1) / 2);
    // Strictly read, the same text gives those bytes exactly when it is whole
    // pairs of hex digits, and nothing otherwise.
    const std::optional<QByteArray> pairs = SendFraming::wholeHexPairs(hexText);
    const QString bare = QString(hexText).remove(u' ');
    const bool whole = bare.size() % 2 == 0 && std::all_of(bare.begin(), bare.end(), [](QChar c) {
                           return c.unicode() < 128 && std::isxdigit(c.unicode());
                       });
    FUZZ_CHECK(pairs.has_value() == whole);
    FUZZ_CHECK(!whole || *pairs == SendFraming::hotKeyHexBytes(hexText));

    CHexEditModel m;
    m.setClientLines(in.intInRange(0, 40));
    m.setData(reinterpret_cast<const std::uint8_t *>(initial.constData()),
              static_cast<int>(initial.size()));
    std::vector<std::uint8_t> copy(static_cast<std::size_t>(m.length()));
    FUZZ_CHECK(m.getData(copy.data(), static_cast<int>(copy.size())) == m.length());
    if (!initial.isEmpty())
        FUZZ_CHECK(QByteArray(reinterpret_cast<const char *>(copy.data()), m.length()) == initial);
    checkInvariants(m);
    for (int i = 0; i < steps && in.remaining() > 0; ++i) {
        step(m, in);
        checkInvariants(m);
        checkCopy(m);
    }
    return 0;
}
