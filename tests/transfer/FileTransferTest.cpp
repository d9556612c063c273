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
    QObject::connect(&sender, &CFileSender::echo, [&](const QByteArray &b) { echoes << b; });
    QObject::connect(&sender, &CFileSender::finished,
                     [&](CFileSender::Outcome o) { outcomes.push_back(o); });
    const auto open = [&](const QByteArray &bytes) { // forgetting what the last send did
        ASSERT_TRUE(writeFileBytes(path, bytes));
        ASSERT_EQ(sender.open(path), CFileSender::OpenResult::Ok);
        echoes.clear();
        outcomes.clear();
        far.clear();
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
    link.holdWriter(false);
    ASSERT_TRUE(until([&] { return !outcomes.empty() && far.size() >= file.size(); }));
    EXPECT_EQ(outcomes, std::vector{CFileSender::Outcome::Completed});
    EXPECT_TRUE(echoes.join() == file);
    EXPECT_TRUE(far == file);

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
    link.Close();
}

using Outcome = CPrinterFileReceiver::Outcome;

// A received file in memory, "<end>" behind it once it is complete.
struct MemorySink final : CReceivedFileSink
{
    explicit MemorySink(QByteArray &b)
        : bytes(b)
    {}
    bool begin() override { return bytes.clear(), true; }
    bool write(const std::uint8_t *data, std::size_t length) override
    {
        return bytes.append(reinterpret_cast<const char *>(data), qsizetype(length)), true;
    }
    bool end() override { return bytes += "<end>", true; }
    QString abandon() override { return {}; }
    QString errorText() const override { return {}; }
    QByteArray &bytes;
};

// The receiver marks the header's end in the block itself: `shown` gets it as the
// display does.
Outcome feedTo(CPrinterFileReceiver &receiver, QByteArray block, QByteArray *shown = nullptr)
{
    const auto outcome
        = receiver.feed(reinterpret_cast<std::uint8_t *>(block.data()), std::size_t(block.size()));
    if (shown)
        *shown += block;
    return outcome;
}

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
    for (const QByteArray &block : blocks)
        fed.outcomes.push_back(feedTo(receiver, block, &fed.shown));
    EXPECT_FALSE(receiver.isActive());
    return fed;
}

// The answer header's fields; a refused header ends the reception.
TEST(PrinterProtocol, answerHeadersAreReadStrictly)
{
    using Status = PrinterProtocol::AnswerHeader::Status;
    const std::tuple<const char *, Status, std::uint32_t, std::uint32_t> cases[] = {
        {"#T=A, +7 ,  9x,more", Status::Ok, 7, 9},
        {"#T=A,4294967295,4294967295", Status::Ok, 4294967295u, 4294967295u},
        {"#T=A,5,", Status::Ok, 5, 0}, // a CRC without digits is 0
        {"#T=A,-5,123", Status::BadSize, 0, 0},
        {"#T=A,4294967296,1", Status::BadSize, 0, 0},
        {"#T=A,5", Status::NoCrcField, 0, 0},
        {"#T=A,5,4294967296", Status::BadCrc, 0, 0},
    };
    for (const auto &[text, status, size, crc] : cases) {
        const auto h = PrinterProtocol::parseAnswerHeader(text);
        EXPECT_EQ(h.status, status) << text;
        EXPECT_TRUE(status != Status::Ok || (h.size == size && h.crc == crc)) << text;
    }
    EXPECT_EQ(PrinterProtocol::proposedLocalName("X\\Y\\"), "");
}

TEST(PrinterFileReceiver, picksTheFileOutOfTheAnswerWhereverTheBlocksEnd)
{
    const QByteArray five = "ABCDE";
    // The answer, the outcome of the block that ends it (later blocks are Idle), the file.
    const std::tuple<QByteArray, Outcome, QByteArray> cases[] = {
        {"#T=NAME,5," + crcOf(five) + "*ABCDEFGH more", Outcome::Completed, "ABCDE<end>"},
        {"#T=NAME,5,1*ABCDE", Outcome::BadCrc, "ABCDE<end>"}, // a wrong CRC keeps the file
        {"#T=E,0,0*rest", Outcome::Completed, "<end>"},
        {"#T=E,0,17*", Outcome::BadCrc, "<end>"},
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
            const Fed fed = feed(blocks);
            const auto end = std::find_if(fed.outcomes.begin(), fed.outcomes.end(),
                                          [](Outcome o) { return o != Outcome::Pending; });
            ASSERT_NE(end, fed.outcomes.end());
            EXPECT_EQ(*end, outcome);
            EXPECT_TRUE(std::all_of(end + 1, fed.outcomes.end(),
                                    [](Outcome o) { return o == Outcome::Idle; }));
            EXPECT_EQ(fed.file, file);
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
    EXPECT_EQ(fed.file, "ABCDE<end>");
}

// Into a real file: a reception cancelled before its first byte keeps nothing, a
// full disk ends it with what fitted kept beside the old file.
TEST(PrinterFileReceiver, aCancelKeepsNothingAndAFullDiskKeepsThePartBesideTheOldFile)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("A.TXT"));
    const auto files = [&] {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    };
    ASSERT_TRUE(writeFileBytes(target, "old bytes"));
    CPrinterFileReceiver receiver;
    const auto startOn = [&] {
        receiver.start(std::make_unique<CDiskFileSink>(target));
    };
    startOn();
    EXPECT_EQ(feedTo(receiver, "#T=N,10,0*"), Outcome::Pending);
    receiver.cancel();
    EXPECT_EQ(receiver.partialFile(), QString());
    EXPECT_EQ(files(), QStringList{QStringLiteral("A.TXT")});
    // A new start drops the header text collected so far.
    startOn();
    feedTo(receiver, "#T=OLD,");
    startOn();
    EXPECT_EQ(feedTo(receiver, "5,0*ABCDE"), Outcome::MalformedHeader);

    const QByteArray data = QByteArray("0123456789abcdefghi").repeated(16 * 1024);
    startOn();
    const Outcome outcome
        = withDiskFullAt(64 * 1024, [&] { return feedTo(receiver, "#T=N,999999,0*" + data); });
    EXPECT_EQ(outcome, Outcome::WriteFailed);
    EXPECT_EQ(receiver.errorText(), QStringLiteral("The disk is full."));
    EXPECT_EQ(receiver.partialFile(), target + QStringLiteral(".part"));
    EXPECT_EQ(fileBytes(target), "old bytes");
    EXPECT_EQ(fileBytes(target + QStringLiteral(".part")), data.left(64 * 1024));
    EXPECT_EQ(files(), (QStringList{QStringLiteral("A.TXT"), QStringLiteral("A.TXT.part")}));
}

} // namespace
