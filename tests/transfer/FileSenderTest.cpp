// The streaming file sender over a real link: what reaches the far end, how
// far it reads ahead, what the display is given and how it ends.
#include "transfer/FileSender.h"
#include "support/EventLoopWait.h"
#include "support/TestLinkPort.h"
#include "transfer/Crc32.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <mutex>
#include <poll.h>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

// Collects what arrives at the far end on a thread of its own, so the test
// thread can run the event loop meanwhile.
class FarEnd
{
public:
    explicit FarEnd(int fd)
        : m_thread([this, fd] {
            char buf[65536];
            while (!m_stop) {
                pollfd p{fd, POLLIN, 0};
                if (::poll(&p, 1, 20) <= 0)
                    continue;
                const ssize_t n = ::read(fd, buf, sizeof buf);
                if (n <= 0)
                    return;
                std::lock_guard lock(m_mutex);
                m_bytes.append(buf, n);
            }
        })
    {}
    ~FarEnd()
    {
        m_stop = true;
        m_thread.join();
    }
    QByteArray bytes() const
    {
        std::lock_guard lock(m_mutex);
        return m_bytes;
    }
    qsizetype size() const { return bytes().size(); }

private:
    mutable std::mutex m_mutex;
    QByteArray m_bytes;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

class FileSenderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(link.Open());
        ASSERT_TRUE(link.Start());
        far = std::make_unique<FarEnd>(link.farFd());
        QObject::connect(&sender, &CFileSender::echo,
                         [this](const QByteArray &b) { echoes.push_back(b); });
        QObject::connect(&sender, &CFileSender::progress, [this](qint64 done, qint64 total) {
            EXPECT_GE(done, lastProgress);
            EXPECT_EQ(total, sender.totalBlocks());
            lastProgress = done;
        });
        QObject::connect(&sender, &CFileSender::finished,
                         [this](CFileSender::Outcome o) { outcomes.push_back(o); });
    }
    void TearDown() override
    {
        link.holdWriter(false);
        link.Close();
        far.reset();
    }

    QString writeFile(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("f.bin"));
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return path;
    }
    static QByteArray randomBytes(qsizetype n)
    {
        std::mt19937 random(11);
        QByteArray b(n, '\0');
        for (char &c : b)
            c = static_cast<char>(random());
        return b;
    }
    QByteArray echoed() const
    {
        QByteArray all;
        for (const QByteArray &e : echoes)
            all += e;
        return all;
    }
    // Lets a few of the sender's turns pass.
    static void runEventsFor(int ms)
    {
        eventually([] { return false; }, ms);
    }

    QTemporaryDir dir;
    CTestLinkPort link;
    std::unique_ptr<FarEnd> far;
    CFileSender sender;
    std::vector<QByteArray> echoes;
    std::vector<CFileSender::Outcome> outcomes;
    qint64 lastProgress = 0;
};

TEST_F(FileSenderTest, readsAheadBoundedDeliversTheFileExactlyAndAbortQueuesNothingMore)
{
    const qint64 readAhead = CFileSender::kMaxQueuedBlocks * CFileSender::kBlockSize;
    const QByteArray file = randomBytes(2 * readAhead + 1234);
    ASSERT_EQ(sender.open(writeFile(file)), CFileSender::OpenResult::Ok);
    link.holdWriter(true);
    sender.startSending(&link, CFileSender::Echo::Bytes, {});
    // A held line: the sender stops reading once the queue holds its most.
    ASSERT_TRUE(eventually([&] { return echoed().size() == readAhead; }));
    runEventsFor(60);
    EXPECT_EQ(echoed().size(), readAhead);
    EXPECT_TRUE(sender.holdsBackOtherSends());
    sender.holdBack("AFTER");

    link.holdWriter(false);
    ASSERT_TRUE(eventually([&] { return !outcomes.empty(); }, 30000));
    EXPECT_EQ(outcomes, std::vector{CFileSender::Outcome::Completed});
    EXPECT_EQ(lastProgress, sender.totalBlocks());
    EXPECT_EQ(echoed(), file);
    ASSERT_TRUE(eventually([&] { return far->size() >= file.size() + 5; }));
    EXPECT_TRUE(far->bytes() == file + "AFTER");

    // Aborted on a held line: what was queued goes, nothing more, no outcome.
    echoes.clear();
    outcomes.clear();
    lastProgress = 0;
    ASSERT_EQ(sender.open(writeFile(file)), CFileSender::OpenResult::Ok);
    link.holdWriter(true);
    sender.startSending(&link, CFileSender::Echo::Bytes, {});
    ASSERT_TRUE(eventually([&] { return echoed().size() == readAhead; }));
    sender.abort();
    EXPECT_FALSE(sender.isBusy());
    link.holdWriter(false);
    const qsizetype expected = file.size() + 5 + readAhead;
    ASSERT_TRUE(eventually([&] { return far->size() >= expected; }));
    runEventsFor(60);
    EXPECT_EQ(far->size(), expected);
    EXPECT_TRUE(outcomes.empty());
}

TEST_F(FileSenderTest, echoesContentsAsTextOrThePath)
{
    QByteArray file = randomBytes(CFileSender::kPieceSize + 10);
    file[5] = '\0';
    // A CR LF split by the piece boundary stays one line break for the display.
    file[CFileSender::kPieceSize - 1] = '\r';
    file[CFileSender::kPieceSize] = '\n';
    const QString path = writeFile(file);
    ASSERT_EQ(sender.open(path), CFileSender::OpenResult::Ok);
    sender.startSending(&link, CFileSender::Echo::Contents, "C:/x");
    ASSERT_TRUE(eventually([&] { return !outcomes.empty(); }));
    QByteArray expected = file;
    expected.replace('\0', '.');
    EXPECT_TRUE(echoed() == "-> [" + expected + "]\n");
    for (std::size_t i = 0; i + 1 < echoes.size(); ++i)
        EXPECT_FALSE(echoes[i].endsWith('\r'));

    echoes.clear();
    outcomes.clear();
    lastProgress = 0;
    ASSERT_EQ(sender.open(path), CFileSender::OpenResult::Ok);
    sender.startSending(&link, CFileSender::Echo::Path, "/tmp/f.bin");
    ASSERT_TRUE(eventually([&] { return !outcomes.empty(); }));
    EXPECT_EQ(echoes, std::vector<QByteArray>{"-> [/tmp/f.bin]\n"});
    ASSERT_TRUE(eventually([&] { return far->size() == 2 * file.size(); }));
}

TEST_F(FileSenderTest, checksumThenAFileThatChangedOrShrank)
{
    const QByteArray file = randomBytes(2 * CFileSender::kPieceSize + 77);
    const QString path = writeFile(file);
    std::vector<std::uint32_t> crcs;
    QObject::connect(&sender, &CFileSender::checksumReady,
                     [&](std::uint32_t crc) { crcs.push_back(crc); });

    struct Case
    {
        const char *name;
        QByteArray replacement;
        CFileSender::Outcome outcome;
    } cases[] = {
        {"unchanged", file, CFileSender::Outcome::Completed},
        {"one byte changed", QByteArray(file).replace(100, 1, "\x01"),
         CFileSender::Outcome::ChangedWhileSending},
        {"shorter", file.left(CFileSender::kPieceSize), CFileSender::Outcome::ReadFailed},
    };
    for (const Case &c : cases) {
        writeFile(file);
        crcs.clear();
        outcomes.clear();
        lastProgress = 0;
        ASSERT_EQ(sender.open(path), CFileSender::OpenResult::Ok);
        sender.computeChecksum();
        ASSERT_TRUE(eventually([&] { return !crcs.empty(); })) << c.name;
        EXPECT_EQ(crcs.front(), ComputeCrc32(file.constData(), std::size_t(file.size())));
        writeFile(c.replacement);
        sender.startSending(&link, CFileSender::Echo::None, {});
        ASSERT_TRUE(eventually([&] { return !outcomes.empty(); })) << c.name;
        EXPECT_EQ(outcomes.front(), c.outcome) << c.name;
    }
}

} // namespace
