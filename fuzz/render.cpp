// The display's rendering of received bytes (text with mapping and timestamps,
// or hex), with the bytes split into blocks at random places:
// - hex: the blocks show exactly what the bytes show in one block, as "%02X "
//   groups with a line break every "LineBreakCnt" bytes;
// - text: the blocks show what one block shows, except where the display
//   rules make a block boundary visible, which the reference puts in:
//     a CR that ends a block is a line break of its own (unless mapping keeps
//     lone CRs), and
//     with timestamps and mapping, the text of code 10 put back after a line
//     feed that ends a block is not itself mapped (the comparison is skipped
//     when that text holds mapped characters);
//   and the text never holds a NUL.
// Mapping texts hold no CR or LF, as texts read from the INI file never do.
#include "FuzzInput.h"

#include "display/DisplayBuffer.h"
#include "display/DisplayModel.h"
#include "display/DisplayRendering.h"
#include "platform/Clock.h"

#include <QCoreApplication>

namespace {

// Two displays, one for the blocks and one for the reference, so that each
// keeps its room from one input to the next.
struct TestDisplay
{
    DisplaySettings settings;
    CharMapTable table;
    CDisplayModel split{settings, table};
    CDisplayModel whole{settings, table};
};

TestDisplay *g_display = nullptr;

const CDisplayBuffer &show(CDisplayModel &model, const QList<QByteArray> &blocks)
{
    model.clear();
    model.setLineStartPending(true);
    for (const QByteArray &block : blocks)
        model.append(reinterpret_cast<const std::uint8_t *>(block.constData()),
                     static_cast<int>(block.size()), true);
    return model.buffer();
}

bool isHexText(const QByteArray &text)
{
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || c == ' ' || c == '\n'))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QCoreApplication(*argc, *argv); // lives as long as the process
    g_display = new TestDisplay;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    TestDisplay &d = *g_display;
    DisplaySettings &s = d.settings;
    s.hexMode = in.boolean();
    s.timestampPerLine = in.boolean();
    s.charMappingOn = in.boolean();
    s.autoScroll = in.boolean();
    s.hexBytesPerLine = in.intInRange(-2, 40);
    d.table.clear();
    for (int i = in.intInRange(0, 10); i > 0; --i) {
        const int code = in.intInRange(0, 255);
        QByteArray text = in.sizedBytes(32);
        d.table.setText(code, text.replace('\r', '_').replace('\n', '_'));
    }
    LocalTime time;
    for (int *field : {&time.year, &time.month, &time.day, &time.hour, &time.minute, &time.second,
                       &time.millisecond})
        *field = in.intInRange(-100000, 100000);
    setClockForTesting([time] { return time; });
    std::vector<int> cuts;
    for (int i = in.intInRange(0, 12); i > 0; --i)
        cuts.push_back(in.intInRange(1, 600));
    QByteArray bytes = in.rest();
    // Chains of mapping texts make a byte up to 4 KB of text, and every
    // character of a line's timestamp as much again: the bytes are cut where
    // their text could pass 16 KB, so that an input costs the rules' work,
    // not megabytes of copying (the display's own limits have tests).
    const auto textOf = [&](unsigned char c) {
        return s.charMappingOn ? d.table.expansion(c).size() : qsizetype(1);
    };
    qsizetype lineStart = 0;
    if (s.timestampPerLine) {
        for (char c : formatTimestamp(time))
            lineStart += textOf(static_cast<unsigned char>(c));
        lineStart += textOf('\n');
    }
    qsizetype shown = lineStart;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        shown += textOf(c) + (c == '\n' || c == '\r' || c == 3 ? lineStart : 0);
        if (shown > 16 * 1024) {
            bytes.truncate(i);
            break;
        }
    }
    // A block of nothing visible would still begin its line with its time;
    // one at the very end has nothing in the one-block reference to show it.
    while (bytes.endsWith('\x02'))
        bytes.chop(1);
    if (bytes.isEmpty())
        return 0;

    QList<QByteArray> blocks;
    qsizetype start = 0;
    for (int cut : cuts) {
        if (start + cut >= bytes.size())
            break;
        blocks.append(bytes.mid(start, cut));
        start += cut;
    }
    blocks.append(bytes.mid(start));

    const CDisplayBuffer &split = show(d.split, blocks);
    if (s.hexMode) {
        const CDisplayBuffer &whole = show(d.whole, {bytes});
        FUZZ_CHECK(split.text() == whole.text() && split.lineCount() == whole.lineCount());
        FUZZ_CHECK(isHexText(whole.text()));
        FUZZ_CHECK(whole.length() - whole.text().count('\n') == 3 * bytes.size());
        const int perLine = std::max(1, s.hexBytesPerLine);
        FUZZ_CHECK(whole.text().count('\n') == (bytes.size() + perLine - 1) / perLine);
        return 0;
    }

    const bool keepLoneCr
        = s.charMappingOn && (!d.table.text(13).isEmpty() || !d.table.text(10).isEmpty());
    QByteArray reference;
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        QByteArray block = blocks[i];
        if (i + 1 < blocks.size() && block.endsWith('\r') && !keepLoneCr)
            block.back() = '\x03';
        reference += block;
    }
    const CDisplayBuffer &whole = show(d.whole, {reference});
    FUZZ_CHECK(!whole.text().contains('\0') && !split.text().contains('\0'));

    bool lineFeedTextMapped = false;
    for (char c : d.table.text(10)) {
        const auto code = static_cast<unsigned char>(c);
        lineFeedTextMapped = lineFeedTextMapped || (code > 10 && !d.table.text(code).isEmpty());
    }
    if (!(s.timestampPerLine && s.charMappingOn && lineFeedTextMapped))
        FUZZ_CHECK(split.text() == whole.text() && split.lineCount() == whole.lineCount());
    return 0;
}
