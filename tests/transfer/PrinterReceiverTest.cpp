// The answer header and the reception state machine, fed block by block
// into a sink in memory.
#include "transfer/Crc32.h"
#include "transfer/PrinterFileReceiver.h"
#include "transfer/PrinterProtocol.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Outcome = CPrinterFileReceiver::Outcome;
using Status = PrinterProtocol::AnswerHeader::Status;

struct MemorySink final : CReceivedFileSink
{
    struct Record
    {
        QByteArray bytes;
        int begins = 0;
        bool ended = false;
        bool abandoned = false;
    };
    explicit MemorySink(Record &r, qsizetype failFrom = -1, bool refuseBegin = false)
        : record(r)
        , failAt(failFrom)
        , failBegin(refuseBegin)
    {}
    bool begin() override
    {
        ++record.begins;
        record.bytes.clear();
        return !failBegin;
    }
    bool write(const std::uint8_t *data, std::size_t length) override
    {
        if (failAt >= 0 && record.bytes.size() + qsizetype(length) > failAt)
            return false;
        record.bytes.append(reinterpret_cast<const char *>(data), qsizetype(length));
        return true;
    }
    bool end() override { return record.ended = true; }
    QString abandon() override
    {
        record.abandoned = true;
        return {};
    }
    QString errorText() const override { return QStringLiteral("disk full"); }

    Record &record;
    qsizetype failAt;
    bool failBegin;
};

QByteArray crcOf(const QByteArray &bytes)
{
    return QByteArray::number(ComputeCrc32(bytes.constData(), std::size_t(bytes.size())));
}

TEST(PrinterProtocol, framesTextsAndProposedNames)
{
    EXPECT_EQ(PrinterProtocol::sendHeader("HELLO", 5, 907060870u), "#T=HELLO,5,907060870*");
    EXPECT_EQ(PrinterProtocol::sendHeader("50%0%1.TXT", 5, 7u), "#T=50%0%1.TXT,5,7*");
    EXPECT_EQ(PrinterProtocol::request("DIR\\A.TXT"), "#G=DIR\\A.TXT*");
    EXPECT_EQ(PrinterProtocol::proposedLocalName("DIR\\A.TXT"), "A.TXT");
    EXPECT_EQ(PrinterProtocol::proposedLocalName("A.TXT"), "A.TXT");
    EXPECT_EQ(PrinterProtocol::proposedLocalName("X\\Y\\"), "");
}

TEST(PrinterProtocol, answerHeaderFields)
{
    struct Case
    {
        const char *text;
        Status status;
        std::uint32_t size, crc;
    } cases[] = {
        {"#T=NAME,5,123", Status::Ok, 5, 123},
        {"anything,5,123,more", Status::Ok, 5, 123},
        {"#T=A, +7 ,  9x", Status::Ok, 7, 9},
        {"#T=A,4294967295,4294967295", Status::Ok, 4294967295u, 4294967295u},
        {"#T=A,-0,1", Status::Ok, 0, 1},
        {"#T=A,5,", Status::Ok, 5, 0}, // a CRC without digits is 0
        {"#T=A 5 123", Status::NoSizeField, 0, 0},
        {"#T=A,,123", Status::BadSize, 0, 0},
        {"#T=A,x5,123", Status::BadSize, 0, 0},
        {"#T=A,-5,123", Status::BadSize, 0, 0},
        {"#T=A,4294967296,1", Status::BadSize, 0, 0},
        {"#T=A,99999999999999999999999,1", Status::BadSize, 0, 0},
        {"#T=A,5", Status::NoCrcField, 0, 0},
        {"#T=A,5,4294967296", Status::BadCrc, 0, 0},
        {"#T=A,5,-1", Status::BadCrc, 0, 0},
    };
    for (const Case &c : cases) {
        const auto h = PrinterProtocol::parseAnswerHeader(c.text);
        EXPECT_EQ(h.status, c.status) << c.text;
        if (c.status == Status::Ok) {
            EXPECT_EQ(h.size, c.size) << c.text;
            EXPECT_EQ(h.crc, c.crc) << c.text;
        }
    }
}

struct FeedCase
{
    const char *name;
    std::vector<QByteArray> blocks;
    std::vector<Outcome> outcomes; // one per block
    QByteArray file;
    std::vector<QByteArray> shown; // the blocks as the display gets them
};

TEST(PrinterFileReceiver, picksTheFileOutOfTheBlocks)
{
    const QByteArray five = "ABCDE";
    const QByteArray crc5 = crcOf(five);
    const QByteArray header = "#T=NAME,5," + crc5;
    const std::vector<FeedCase> cases = {
        {"star inside a block, many blocks",
         {"#T=NA", "ME,5,", crc5.left(3), crc5.mid(3) + "*AB", "C", "DE"},
         {Outcome::Pending, Outcome::Pending, Outcome::Pending, Outcome::Pending, Outcome::Pending,
          Outcome::Completed},
         five,
         {"#T=NA", "ME,5,", crc5.left(3), crc5.mid(3) + '\0' + "AB", "C", "DE"}},
        {"bytes beyond the size are only shown",
         {header + "*ABC", "DEFGH", "more"},
         {Outcome::Pending, Outcome::Completed, Outcome::Idle},
         five,
         {header + '\0' + "ABC", "DEFGH", "more"}},
        {"wrong CRC keeps the file",
         {"#T=NAME,5,1*ABCDE"},
         {Outcome::BadCrc},
         five,
         {QByteArray("#T=NAME,5,1\0ABCDE", 17)}},
        {"size 0 completes at once", {"#T=E,0,0*rest"}, {Outcome::Completed}, "", {}},
        {"size 0 with a CRC other than 0", {"#T=E,0,17*"}, {Outcome::BadCrc}, "", {}},
        {"a 0x00 ends the header text of its block",
         {QByteArray("junk\0,9,9", 9), "#T=N,5," + crc5 + "*ABCDE"},
         {Outcome::Pending, Outcome::Completed},
         five,
         {}},
        // Every header the parser refuses (see above) ends the reception alike.
        {"no size field", {"#T=NAME 5*ABCDE"}, {Outcome::MalformedHeader}, "", {}},
        {"header of 512 characters without a star",
         {QByteArray(300, 'x'), QByteArray(212, 'y'), "#T=N,1,0"},
         {Outcome::Pending, Outcome::Pending, Outcome::HeaderTooLong},
         "",
         {}},
    };
    for (const FeedCase &c : cases) {
        MemorySink::Record record;
        CPrinterFileReceiver receiver;
        receiver.start(std::make_unique<MemorySink>(record));
        for (std::size_t i = 0; i < c.blocks.size(); ++i) {
            QByteArray block = c.blocks[i];
            EXPECT_EQ(receiver.feed(reinterpret_cast<std::uint8_t *>(block.data()),
                                    std::size_t(block.size())),
                      c.outcomes[i])
                << c.name << ", block " << i;
            if (i < c.shown.size()) {
                EXPECT_EQ(block, c.shown[i]) << c.name << ", block " << i;
            }
        }
        EXPECT_FALSE(receiver.isActive()) << c.name;
        EXPECT_EQ(record.bytes, c.file) << c.name;
        const bool complete = c.outcomes.back() == Outcome::Completed
                              || c.outcomes.back() == Outcome::BadCrc
                              || c.outcomes.back() == Outcome::Idle;
        EXPECT_EQ(record.ended, complete) << c.name;
    }
}

TEST(PrinterFileReceiver, sinkFailuresAndRestartsEndTheReception)
{
    MemorySink::Record record;
    CPrinterFileReceiver receiver;
    QByteArray block = "#T=N,10,0*ABCDEF";
    // The file cannot be created.
    receiver.start(std::make_unique<MemorySink>(record, -1, true));
    EXPECT_EQ(receiver.feed(reinterpret_cast<std::uint8_t *>(block.data()), 16),
              Outcome::WriteFailed);
    EXPECT_EQ(receiver.errorText(), "disk full");
    EXPECT_FALSE(receiver.isActive());
    // The disk fills up after three bytes; the next block writes nothing.
    block = "#T=N,10,0*ABCDEF";
    receiver.start(std::make_unique<MemorySink>(record, 3));
    EXPECT_EQ(receiver.feed(reinterpret_cast<std::uint8_t *>(block.data()), 13), Outcome::Pending);
    EXPECT_EQ(receiver.bytesReceived(), 3u);
    EXPECT_EQ(receiver.bytesExpected(), 10u);
    EXPECT_EQ(receiver.feed(reinterpret_cast<std::uint8_t *>(block.data()) + 13, 3),
              Outcome::WriteFailed);
    EXPECT_EQ(record.bytes, "ABC");
    EXPECT_TRUE(record.abandoned);
    // A new start drops the header text collected so far.
    receiver.start(std::make_unique<MemorySink>(record));
    block = "#T=OLD,";
    receiver.feed(reinterpret_cast<std::uint8_t *>(block.data()), 7);
    receiver.start(std::make_unique<MemorySink>(record));
    block = "5," + crcOf("ABCDE") + "*ABCDE";
    EXPECT_EQ(
        receiver.feed(reinterpret_cast<std::uint8_t *>(block.data()), std::size_t(block.size())),
        Outcome::MalformedHeader);
}

} // namespace
