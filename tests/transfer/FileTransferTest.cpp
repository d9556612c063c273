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

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray crcOf(const QByteArray &bytes)
{
    return QByteArray::number(ComputeCrc32(bytes.constData(), std::size_t(bytes.size())));
}

// The sender on a real link: it reads ahead only so far while the line is held,
// and what reaches the far end and the echo are the file.
TEST(FileSender, readsAheadBoundedAndDeliversExactly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.bin"));
    QByteArray file(2 * CFileSender::kMaxQueuedBlocks * CFileSender::kBlockSize + 1234, '\0');
    std::generate(file.begin(), file.end(), std::mt19937(11));
    ASSERT_TRUE(writeFileBytes(path, file));
    CTestLinkPort link;
    ASSERT_TRUE(link.Open() && link.Start());
    CFileSender sender;
    ASSERT_EQ(sender.open(path), CFileSender::OpenResult::Ok);
    QByteArray far, echoes;
    std::vector<CFileSender::Outcome> outcomes;
    QObject::connect(&sender, &CFileSender::echo, [&](const QByteArray &b) { echoes += b; });
    QObject::connect(&sender, &CFileSender::finished,
                     [&](CFileSender::Outcome o) { outcomes.push_back(o); });
    const auto until = [&](auto done) { // collecting what arrives at the far end
        const std::chrono::milliseconds poll(5);
        return eventually([&] { return far += link.readFar(1 << 20, poll), done(); }, 30000);
    };

    const qint64 readAhead = CFileSender::kMaxQueuedBlocks * CFileSender::kBlockSize;
    link.holdWriter(true);
    sender.startSending(&link, CFileSender::Echo::Bytes, {});
    ASSERT_TRUE(until([&] { return echoes.size() == readAhead; }));
    eventually([] { return false; }, 60);
    EXPECT_EQ(echoes.size(), readAhead);
    link.holdWriter(false);
    ASSERT_TRUE(until([&] { return !outcomes.empty() && far.size() >= file.size(); }));
    EXPECT_EQ(outcomes, std::vector{CFileSender::Outcome::Completed});
    EXPECT_TRUE(echoes == file && far == file);
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

Outcome feedTo(CPrinterFileReceiver &receiver, QByteArray block)
{
    return receiver.feed(reinterpret_cast<std::uint8_t *>(block.data()), std::size_t(block.size()));
}

// Feeds `blocks` to a fresh reception; the outcome of each block and the file.
struct Fed
{
    std::vector<Outcome> outcomes;
    QByteArray file;
};
Fed feed(const QByteArrayList &blocks)
{
    Fed fed;
    CPrinterFileReceiver receiver;
    receiver.start(std::make_unique<MemorySink>(fed.file));
    for (const QByteArray &block : blocks)
        fed.outcomes.push_back(feedTo(receiver, block));
    EXPECT_FALSE(receiver.isActive());
    return fed;
}

// Any split of the blocks gives the same: the fuzz target "printer" checks that.
TEST(PrinterFileReceiver, picksTheFileOutOfTheAnswer)
{
    const QByteArray five = "ABCDE";
    const std::tuple<QByteArray, Outcome, QByteArray> cases[] = {
        {"#T=NAME,5," + crcOf(five) + "*ABCDEFGH more", Outcome::Completed, "ABCDE<end>"},
        {"#T=NAME,5,1*ABCDE", Outcome::BadCrc, "ABCDE<end>"}, // a wrong CRC keeps the file
        {"#T=E,0,0*rest", Outcome::Completed, "<end>"},
        {"#T=E,0,17*", Outcome::BadCrc, "<end>"},
        {"#T=E,-0,-0*", Outcome::Completed, "<end>"},
        // Refused: no size, a bad or too large size, no CRC, a bad CRC.
        {"#T=NAME 5*ABCDE", Outcome::MalformedHeader, ""},
        {"#T=NAME,x,0*", Outcome::MalformedHeader, ""},
        {"#T=NAME,-5,0*ABCDE", Outcome::MalformedHeader, ""},
        {"#T=NAME,4294967296,0*", Outcome::MalformedHeader, ""},
        {"#T=NAME,5*ABCDE", Outcome::MalformedHeader, ""},
        {"#T=NAME,0,-1*", Outcome::MalformedHeader, ""},
        {"#T=NAME,0,4294967296*", Outcome::MalformedHeader, ""},
    };
    for (const auto &[answer, outcome, file] : cases) {
        const Fed fed = feed({answer});
        EXPECT_TRUE(fed.outcomes == std::vector{outcome} && fed.file == file) << answer.constData();
    }
    // A header that grows to 512 characters without a star ends with that block.
    EXPECT_EQ(feed({QByteArray(300, 'x'), QByteArray(211, 'y'), "*"}).outcomes,
              (std::vector{Outcome::Pending, Outcome::Pending, Outcome::MalformedHeader}));
    EXPECT_EQ(feed({QByteArray(300, 'x'), QByteArray(212, 'y'), "#T=N,1,0"}).outcomes,
              (std::vector{Outcome::Pending, Outcome::HeaderTooLong, Outcome::Idle}));
    // A 0x00 ends the header text of its block.
    const Fed fed = feed({QByteArray("junk\0,9,9", 9), "#T=N,5," + crcOf(five) + "*ABCDE"});
    EXPECT_TRUE(fed.outcomes == (std::vector{Outcome::Pending, Outcome::Completed})
                && fed.file == "ABCDE<end>");
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
    EXPECT_TRUE(receiver.partialFile().isEmpty() && files() == QStringList{"A.TXT"});

    const QByteArray data = QByteArray("0123456789abcdefghi").repeated(16 * 1024);
    startOn();
    const Outcome outcome
        = withDiskFullAt(64 * 1024, [&] { return feedTo(receiver, "#T=N,999999,0*" + data); });
    EXPECT_EQ(
        (std::tuple{outcome, receiver.errorText(), receiver.partialFile()}),
        (std::tuple{Outcome::WriteFailed, QStringLiteral("The disk is full."), target + ".part"}));
    EXPECT_TRUE(fileBytes(target) == "old bytes"
                && fileBytes(target + ".part") == data.left(64 * 1024));
    EXPECT_EQ(files(), (QStringList{QStringLiteral("A.TXT"), QStringLiteral("A.TXT.part")}));
}

} // namespace
