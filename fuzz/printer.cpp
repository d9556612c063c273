// The printer's answer: the header up to its "*", then the file bytes.
// - The file never holds more than the announced size; a completed file holds
//   exactly that many bytes, and it is reported good exactly when their
//   CRC-32 is the header's.
// - The received blocks stay as they were but for the header's "*", which
//   becomes 0x00 (as the display shows it).
// - Bytes split at any block boundaries give the same outcome and the same
//   file bytes as the whole in one block, as long as the header text holds no
//   0x00 and stays within its limit (the two rules that look at one block).
// - Once an outcome ends the reception, further blocks change nothing.
// - A header the program writes reads back with its size and CRC.
#include "FuzzInput.h"

#include "transfer/Crc32.h"
#include "transfer/PrinterFileReceiver.h"
#include "transfer/PrinterProtocol.h"

#include <memory>
#include <vector>

namespace {

using Outcome = CPrinterFileReceiver::Outcome;

struct Record
{
    QByteArray bytes;
    bool begun = false;
    bool ended = false;
    bool abandoned = false;
};

// A file in memory that can refuse to start or fill up after some bytes.
class MemorySink final : public CReceivedFileSink
{
public:
    MemorySink(Record &record, bool refuseBegin, qsizetype room)
        : m_record(record)
        , m_refuseBegin(refuseBegin)
        , m_room(room)
    {}
    bool begin() override
    {
        FUZZ_CHECK(!m_record.begun);
        m_record.begun = true;
        return !m_refuseBegin;
    }
    bool write(const std::uint8_t *data, std::size_t length) override
    {
        FUZZ_CHECK(m_record.begun && !m_record.ended && !m_record.abandoned);
        if (m_room >= 0 && m_record.bytes.size() + qsizetype(length) > m_room)
            return false;
        m_record.bytes.append(reinterpret_cast<const char *>(data), qsizetype(length));
        return true;
    }
    bool end() override
    {
        FUZZ_CHECK(m_record.begun && !m_record.ended && !m_record.abandoned);
        m_record.ended = true;
        return true;
    }
    QString abandon() override
    {
        FUZZ_CHECK(!m_record.ended);
        m_record.abandoned = true;
        return {};
    }
    QString errorText() const override { return QStringLiteral("full"); }

private:
    Record &m_record;
    bool m_refuseBegin;
    qsizetype m_room;
};

struct Run
{
    Outcome outcome = Outcome::Pending; // the first outcome that ended the reception
    Record record;
    std::uint64_t expected = 0;
    std::uint32_t expectedCrc = 0;
};

// Feeds `stream` cut at `cuts`; checks what holds for every run.
Run feed(const QByteArray &stream, const std::vector<int> &cuts, bool refuseBegin, qsizetype room,
         int cancelAfterBlock)
{
    Run run;
    CPrinterFileReceiver receiver;
    receiver.start(std::make_unique<MemorySink>(run.record, refuseBegin, room));
    QByteArray shown = stream; // the blocks as the display gets them
    qsizetype at = 0;
    std::size_t block = 0;
    bool ended = false;
    while (at < shown.size()) {
        const qsizetype next = block < cuts.size()
                                   ? std::min<qsizetype>(shown.size(), at + cuts[block] + 1)
                                   : shown.size();
        const Record before = run.record;
        const Outcome outcome = receiver.feed(reinterpret_cast<std::uint8_t *>(shown.data()) + at,
                                              static_cast<std::size_t>(next - at));
        if (ended) {
            FUZZ_CHECK(outcome == Outcome::Idle);
            FUZZ_CHECK(run.record.bytes == before.bytes && run.record.ended == before.ended);
        } else if (outcome != Outcome::Pending) {
            FUZZ_CHECK(outcome != Outcome::Idle);
            FUZZ_CHECK(!receiver.isActive());
            run.outcome = outcome;
            ended = true;
        }
        if (receiver.headerComplete() || ended) {
            run.expected = receiver.bytesExpected();
            run.expectedCrc = receiver.expectedCrc();
            FUZZ_CHECK(receiver.bytesReceived() <= receiver.bytesExpected());
        }
        at = next;
        if (int(block++) == cancelAfterBlock && !ended) {
            receiver.cancel();
            FUZZ_CHECK(!receiver.isActive());
            FUZZ_CHECK(!run.record.begun || run.record.abandoned);
            ended = true;
            run.outcome = Outcome::Idle;
        }
    }

    // Only the header's "*" changed in what the display gets.
    const qsizetype star = stream.indexOf('*');
    for (qsizetype i = 0; i < stream.size(); ++i) {
        if (shown[i] != stream[i])
            FUZZ_CHECK(i == star && shown[i] == '\0');
    }

    const QByteArray &file = run.record.bytes;
    FUZZ_CHECK(std::uint64_t(file.size()) <= run.expected || !run.record.begun);
    switch (run.outcome) {
    case Outcome::Completed:
    case Outcome::BadCrc: {
        FUZZ_CHECK(run.record.ended && !run.record.abandoned);
        FUZZ_CHECK(std::uint64_t(file.size()) == run.expected);
        const bool good
            = ComputeCrc32(file.constData(), std::size_t(file.size())) == run.expectedCrc;
        FUZZ_CHECK(good == (run.outcome == Outcome::Completed));
        break;
    }
    case Outcome::MalformedHeader:
    case Outcome::HeaderTooLong:
        FUZZ_CHECK(!run.record.begun);
        break;
    case Outcome::WriteFailed:
        FUZZ_CHECK(run.record.begun && !run.record.ended);
        FUZZ_CHECK(refuseBegin || room >= 0);
        break;
    case Outcome::Pending:
    case Outcome::Idle:
        FUZZ_CHECK(!run.record.ended);
        break;
    }
    return run;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    // A header the program writes reads back.
    const auto sizeField = static_cast<std::uint32_t>(in.number(0, 0xFFFFFFFFLL));
    const auto crcField = static_cast<std::uint32_t>(in.number(0, 0xFFFFFFFFLL));
    const QString name = QString::fromLatin1(in.sizedBytes(16)).remove(u',');
    const PrinterProtocol::AnswerHeader header = PrinterProtocol::parseAnswerHeader(
        PrinterProtocol::sendHeader(name, sizeField, crcField).toLatin1().chopped(1));
    FUZZ_CHECK(header.status == PrinterProtocol::AnswerHeader::Status::Ok);
    FUZZ_CHECK(header.size == sizeField && header.crc == crcField);

    const int mode = in.intInRange(0, 7);
    const bool refuseBegin = mode == 1;
    const qsizetype room = mode == 2 ? in.intInRange(0, 4096) : -1;
    const int cancelAfter = mode == 3 ? in.intInRange(0, 8) : -1;
    std::vector<int> cuts;
    for (int i = in.intInRange(0, 12); i > 0; --i)
        cuts.push_back(in.intInRange(0, 600));
    QByteArray stream = in.rest();
    // A header with a small size now and then, so that files get completed.
    if (mode >= 4 && !stream.contains('*')) {
        const QByteArray body = stream.left(64);
        stream.prepend(
            PrinterProtocol::sendHeader(
                QStringLiteral("F"), std::uint32_t(body.size()),
                mode == 4 ? ComputeCrc32(body.constData(), std::size_t(body.size())) : crcField)
                .toLatin1());
    }

    const Run split = feed(stream, cuts, refuseBegin, room, cancelAfter);
    const Run whole = feed(stream, {}, refuseBegin, room, -1);

    const qsizetype star = stream.indexOf('*');
    const QByteArray headerText = star < 0 ? stream : stream.left(star);
    if (cancelAfter < 0 && room < 0 && !headerText.contains('\0')
        && headerText.size() <= PrinterProtocol::kMaxHeaderText) {
        FUZZ_CHECK(split.outcome == whole.outcome);
        FUZZ_CHECK(split.record.bytes == whole.record.bytes);
        FUZZ_CHECK(split.record.ended == whole.record.ended);
    }
    return 0;
}
