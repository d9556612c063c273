// The parts of a file transfer: the streaming sender over a real link, the
// printer's answer picked out of the received blocks, and the received file
// on disk.
#include "support/DiskFull.h"
#include "support/EventLoopWait.h"
#include "support/FileBytes.h"
#include "support/TestLinkPort.h"
#include "transfer/Crc32.h"
#include "transfer/DiskFileSink.h"
#include "transfer/FileSender.h"
#include "transfer/PrinterFileReceiver.h"
#include "transfer/PrinterProtocol.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray crcOf(const QByteArray &bytes)
{
    return QByteArray::number(ComputeCrc32(bytes.constData(), std::size_t(bytes.size())));
}

// The sender on a real link: what reaches the far end, what it echoes and tells.
TEST(FileSender, readsAheadBoundedDeliversExactlyEchoesAsTextAndSeesAFileChange)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.bin"));
    CTestLinkPort link;
    ASSERT_TRUE(link.Open() && link.Start());
    CFileSender sender;
    QByteArray far;
    QByteArrayList echoes;
    std::vector<CFileSender::Outcome> outcomes;
    qint64 lastProgress = 0;
    QObject::connect(&sender, &CFileSender::echo, [&](const QByteArray &b) { echoes << b; });
    QObject::connect(&sender, &CFileSender::progress, [&](qint64 done, qint64 total) {
        EXPECT_GE(done, lastProgress);
        EXPECT_EQ(total, sender.totalBlocks());
        lastProgress = done;
    });
    QObject::connect(&sender, &CFileSender::finished,
                     [&](CFileSender::Outcome o) { outcomes.push_back(o); });
    const auto open = [&](const QByteArray &bytes) { // forgetting what the last send did
        ASSERT_TRUE(writeFileBytes(path, bytes));
        ASSERT_EQ(sender.open(path), CFileSender::OpenResult::Ok);
        echoes.clear();
        outcomes.clear();
        far.clear();
        lastProgress = 0;
    };
    const auto until = [&](auto done) { // collecting what arrives at the far end
        const auto more = [&] {
            return link.readFar(1 << 20, std::chrono::milliseconds(5));
        };
        return eventually([&] { return far += more(), done(); }, 30000);
    };
    QByteArray file(2 * CFileSender::kMaxQueuedBlocks * CFileSender::kBlockSize + 1234, '\0');
    std::generate(file.begin(), file.end(), std::mt19937(11));

    // A held line: the sender stops reading once the queue holds its most.
    const qint64 readAhead = CFileSender::kMaxQueuedBlocks * CFileSender::kBlockSize;
    open(file);
    link.holdWriter(true);
    sender.startSending(&link, CFileSender::Echo::Bytes, {});
    ASSERT_TRUE(until([&] { return echoes.join().size() == readAhead; }));
    eventually([] { return false; }, 60);
    EXPECT_EQ(echoes.join().size(), readAhead);
    EXPECT_TRUE(sender.holdsBackOtherSends());
    sender.holdBack("AFTER");
    link.holdWriter(false);
    ASSERT_TRUE(until([&] { return !outcomes.empty() && far.size() >= file.size() + 5; }));
    EXPECT_EQ(outcomes, std::vector{CFileSender::Outcome::Completed});
    EXPECT_EQ(lastProgress, sender.totalBlocks());
    EXPECT_TRUE(echoes.join() == file);
    EXPECT_TRUE(far == file + "AFTER");

    // As text: a CR LF split by the piece boundary stays one line break for the display.
    QByteArray text = file.left(CFileSender::kPieceSize + 10);
    text[5] = '\0';
    text[CFileSender::kPieceSize - 1] = '\r';
    text[CFileSender::kPieceSize] = '\n';
    open(text);
    sender.startSending(&link, CFileSender::Echo::Contents, "C:/x");
    ASSERT_TRUE(until([&] { return !outcomes.empty(); }));
    EXPECT_TRUE(echoes.join() == "-> [" + QByteArray(text).replace('\0', '.') + "]\n");
    for (qsizetype i = 0; i + 1 < echoes.size(); ++i)
        EXPECT_FALSE(echoes[i].endsWith('\r'));

    // The checksum first, then a file that changed or shrank meanwhile.
    const QByteArray small = file.left(2 * CFileSender::kPieceSize + 77);
    std::vector<std::uint32_t> crcs;
    QObject::connect(&sender, &CFileSender::checksumReady,
                     [&](std::uint32_t crc) { crcs.push_back(crc); });
    const std::pair<QByteArray, CFileSender::Outcome> cases[] = {
        {small, CFileSender::Outcome::Completed},
        {QByteArray(small).replace(100, 1, "\x01"), CFileSender::Outcome::ChangedWhileSending},
        {small.left(CFileSender::kPieceSize), CFileSender::Outcome::ReadFailed},
    };
    for (const auto &[replacement, outcome] : cases) {
        open(small);
        crcs.clear();
        sender.computeChecksum();
        ASSERT_TRUE(until([&] { return !crcs.empty(); }));
        EXPECT_EQ(QByteArray::number(crcs.front()), crcOf(small));
        ASSERT_TRUE(writeFileBytes(path, replacement));
        sender.startSending(&link, CFileSender::Echo::None, {});
        ASSERT_TRUE(until([&] { return !outcomes.empty(); }));
        EXPECT_EQ(outcomes.front(), outcome);
    }
    link.holdWriter(false);
    link.Close();
}

using Outcome = CPrinterFileReceiver::Outcome;

// A received file in memory; it can refuse to begin, or fail from a size on.
struct MemorySink final : CReceivedFileSink
{
    MemorySink(QByteArray &b, qsizetype failFrom = -1)
        : bytes(b)
        , failAt(failFrom)
    {}
    bool begin() override { return bytes.clear(), events += 'b', failAt != 0; }
    bool write(const std::uint8_t *data, std::size_t length) override
    {
        const bool fits = failAt < 0 || bytes.size() + qsizetype(length) <= failAt;
        if (fits)
            bytes.append(reinterpret_cast<const char *>(data), qsizetype(length));
        return fits;
    }
    bool end() override { return events += 'e', true; }
    QString abandon() override { return events += 'a', QString(); }
    QString errorText() const override { return QStringLiteral("disk full"); }

    QByteArray &bytes;
    qsizetype failAt;
    static inline QByteArray events;
};

// Feeds `blocks` to a fresh reception; the outcome of each block, the file and
// what the display is given.
struct Fed
{
    std::vector<Outcome> outcomes;
    QByteArray file, shown;
};
Fed feed(const QByteArrayList &blocks)
{
    Fed fed;
    CPrinterFileReceiver receiver;
    receiver.start(std::make_unique<MemorySink>(fed.file));
    for (QByteArray block : blocks) {
        fed.outcomes.push_back(receiver.feed(reinterpret_cast<std::uint8_t *>(block.data()),
                                             std::size_t(block.size())));
        fed.shown += block;
    }
    EXPECT_FALSE(receiver.isActive());
    return fed;
}

TEST(PrinterProtocol, framesTextsAndAnswerHeaders)
{
    EXPECT_EQ(PrinterProtocol::sendHeader("50%0%1.TXT", 5, 907060870u),
              "#T=50%0%1.TXT,5,907060870*");
    EXPECT_EQ(PrinterProtocol::request("DIR\\A.TXT"), "#G=DIR\\A.TXT*");
    EXPECT_EQ(PrinterProtocol::proposedLocalName("DIR\\A.TXT"), "A.TXT");
    EXPECT_EQ(PrinterProtocol::proposedLocalName("X\\Y\\"), "");

    using Status = PrinterProtocol::AnswerHeader::Status;
    const std::tuple<const char *, Status, std::uint32_t, std::uint32_t> cases[] = {
        {"anything,5,123,more", Status::Ok, 5, 123},
        {"#T=A, +7 ,  9x", Status::Ok, 7, 9},
        {"#T=A,4294967295,4294967295", Status::Ok, 4294967295u, 4294967295u},
        {"#T=A,5,", Status::Ok, 5, 0}, // a CRC without digits is 0
        {"#T=A 5 123", Status::NoSizeField, 0, 0},
        {"#T=A,,123", Status::BadSize, 0, 0},
        {"#T=A,-5,123", Status::BadSize, 0, 0},
        {"#T=A,4294967296,1", Status::BadSize, 0, 0},
        {"#T=A,5", Status::NoCrcField, 0, 0},
        {"#T=A,5,4294967296", Status::BadCrc, 0, 0},
        {"#T=A,5,-1", Status::BadCrc, 0, 0},
        {"#T=A,-0,1", Status::Ok, 0, 1}, // minus only with 0
    };
    for (const auto &[text, status, size, crc] : cases) {
        const auto h = PrinterProtocol::parseAnswerHeader(text);
        EXPECT_EQ(h.status, status) << text;
        EXPECT_TRUE(status != Status::Ok || (h.size == size && h.crc == crc)) << text;
    }
}

TEST(PrinterFileReceiver, picksTheFileOutOfTheAnswerWhereverTheBlocksEnd)
{
    const QByteArray five = "ABCDE";
    // The answer, the outcome of the block that ends it (later blocks are Idle), the file.
    const std::tuple<QByteArray, Outcome, QByteArray> cases[] = {
        {"#T=NAME,5," + crcOf(five) + "*ABCDEFGH more", Outcome::Completed, five},
        {"#T=NAME,5,1*ABCDE", Outcome::BadCrc, five}, // a wrong CRC keeps the file
        {"#T=E,0,0*rest", Outcome::Completed, ""},
        {"#T=E,0,17*", Outcome::BadCrc, ""},
        {"#T=NAME 5*ABCDE", Outcome::MalformedHeader, ""}, // as every refused header
    };
    for (const auto &[answer, outcome, file] : cases) {
        // Whole, split in two anywhere, and byte by byte.
        std::vector<QByteArrayList> splits{{answer}, {}};
        for (char byte : answer)
            splits.back() << QByteArray(1, byte);
        for (qsizetype at = 1; at < answer.size(); ++at)
            splits.push_back({answer.left(at), answer.mid(at)});
        for (const QByteArrayList &blocks : splits) {
            SCOPED_TRACE(blocks.join('|').toStdString());
            MemorySink::events.clear();
            const Fed fed = feed(blocks);
            const auto end = std::find_if(fed.outcomes.begin(), fed.outcomes.end(),
                                          [](Outcome o) { return o != Outcome::Pending; });
            ASSERT_NE(end, fed.outcomes.end());
            EXPECT_EQ(*end, outcome);
            EXPECT_TRUE(std::all_of(end + 1, fed.outcomes.end(),
                                    [](Outcome o) { return o == Outcome::Idle; }));
            EXPECT_EQ(fed.file, file);
            const bool ends = outcome == Outcome::Completed || outcome == Outcome::BadCrc;
            EXPECT_EQ(MemorySink::events.endsWith('e'), ends);
            // The display gets every byte, the header's '*' as a 0x00.
            EXPECT_TRUE(outcome == Outcome::MalformedHeader
                        || fed.shown == QByteArray(answer).replace('*', '\0'));
        }
    }
    // A header that grows to 512 characters without a star ends with that block.
    EXPECT_EQ(feed({QByteArray(300, 'x'), QByteArray(211, 'y'), "*"}).outcomes,
              (std::vector{Outcome::Pending, Outcome::Pending, Outcome::MalformedHeader}));
    EXPECT_EQ(feed({QByteArray(300, 'x'), QByteArray(212, 'y'), "#T=N,1,0"}).outcomes,
              (std::vector{Outcome::Pending, Outcome::HeaderTooLong, Outcome::Idle}));
    // A 0x00 ends the header text of its block.
    const Fed fed = feed({QByteArray("junk\0,9,9", 9), "#T=N,5," + crcOf(five) + "*ABCDE"});
    EXPECT_EQ(fed.outcomes, (std::vector{Outcome::Pending, Outcome::Completed}));
    EXPECT_EQ(fed.file, five);
}

TEST(PrinterFileReceiver, sinkFailuresAndRestartsEndTheReception)
{
    QByteArray bytes;
    CPrinterFileReceiver receiver;
    const auto feed = [&](QByteArray block) {
        return receiver.feed(reinterpret_cast<std::uint8_t *>(block.data()),
                             std::size_t(block.size()));
    };
    // The disk fills up after three bytes; the next block writes nothing.
    // (A file that cannot be created at all is told by the window's test.)
    MemorySink::events.clear();
    receiver.start(std::make_unique<MemorySink>(bytes, 3));
    EXPECT_EQ(feed("#T=N,10,0*ABC"), Outcome::Pending);
    EXPECT_EQ(feed("DEF"), Outcome::WriteFailed);
    EXPECT_EQ(receiver.errorText(), "disk full");
    EXPECT_FALSE(receiver.isActive());
    EXPECT_EQ(bytes, "ABC");
    EXPECT_EQ(MemorySink::events, "ba");
    // A new start drops the header text collected so far.
    receiver.start(std::make_unique<MemorySink>(bytes));
    feed("#T=OLD,");
    receiver.start(std::make_unique<MemorySink>(bytes));
    EXPECT_EQ(feed("5," + crcOf("ABCDE") + "*ABCDE"), Outcome::MalformedHeader);
}

TEST(DiskFileSink, aReceptionCancelledAtOnceKeepsNothingAndAFullDiskKeepsThePart)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("A.TXT"));
    const auto files = [&] {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    };
    ASSERT_TRUE(writeFileBytes(target, "old bytes"));
    {
        CDiskFileSink empty(target);
        ASSERT_TRUE(empty.begin());
        EXPECT_EQ(empty.abandon(), QString());
        EXPECT_EQ(files(), QStringList{QStringLiteral("A.TXT")});
    }
    const QByteArray data = QByteArray("0123456789abcdefghi").repeated(16 * 1024);
    CDiskFileSink sink(target);
    bool begun = false;
    const bool written = withDiskFullAt(64 * 1024, [&] {
        begun = sink.begin();
        return sink.write(reinterpret_cast<const std::uint8_t *>(data.constData()),
                          std::size_t(data.size()));
    });
    ASSERT_TRUE(begun);
    EXPECT_FALSE(written);
    EXPECT_EQ(sink.errorText(), QStringLiteral("The disk is full."));
    EXPECT_EQ(sink.abandon(), target + QStringLiteral(".part"));
    EXPECT_EQ(fileBytes(target), "old bytes");
    EXPECT_EQ(fileBytes(target + QStringLiteral(".part")), data.left(64 * 1024));
    EXPECT_EQ(files(), (QStringList{QStringLiteral("A.TXT"), QStringLiteral("A.TXT.part")}));
}

} // namespace
