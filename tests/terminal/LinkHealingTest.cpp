// TCP peers and servers, serial and USB devices that go and come back during a run.
#include "TerminalFixture.h"

#include "ports/ComPort.h"
#include "ports/NetPort.h"
#include "support/ChildProcess.h"
#include "support/FileBytes.h"
#include "support/LoopbackSockets.h"

#include <QFileInfo>
#include <QProcess>

#include <deque>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

class LinkHealingTest : public TerminalTest
{
protected:
    LinkHealingTest() { create(true); }

    // The terminal as a TCP client of `address` (a server when empty).
    void useNetwork(const char *address, unsigned port, int reconnectMs = 0)
    {
        TerminalSettings &s = terminal->settings();
        s.portKind = 0;
        s.address = QLatin1String(address);
        s.portNumber = static_cast<int>(port);
        if (reconnectMs)
            dynamic_cast<CNetPort *>(terminal->currentPort())->SetReconnectIntervalMs(reconnectMs);
    }
    QString logTo(const QString &name)
    {
        terminal->settings().display.loggingOn = true;
        return terminal->settings().display.logFilePath = dir.filePath(name);
    }
    // The state may lead the terminal's notice of it: wait for both.
    testing::AssertionResult linkStateIs(const char *state, const QString &line) const
    {
        if (eventually([&] { return linkState() == state && status() == line; }))
            return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << linkState().toStdString() << ", " << status().toStdString();
    }
    CTerminal::SendResult type(const QString &text) { return terminal->SendText(text, true); }
};

// Reads from `fd` until `count` bytes are in or the peer is gone.
QByteArray readFrom(int fd, qsizetype count)
{
    QByteArray got;
    char buffer[4096];
    pollfd p{fd, POLLIN, 0};
    while (got.size() < count && ::poll(&p, 1, 10000) == 1) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        got.append(buffer, n);
    }
    return got;
}

// A device node at `path` made by socat; closing it removes the node, as unplugging does.
struct SocatPty : QProcess
{
    explicit SocatPty(const QString &path)
    {
        endWithTest(*this);
        start("socat", {"pty,raw,echo=0,link=" + path, "-"});
        valid = waitForStarted() && eventually([&] { return QFile::exists(path); }, 10000);
    }
    ~SocatPty() override
    {
        closeWriteChannel();
        if (!waitForFinished(10000))
            kill();
        waitForFinished();
    }
    bool valid = false;
};

TEST_F(LinkHealingTest, tcpServerSurvivesTwoHundredImmediateReconnectsWithEveryMessageLogged)
{
    constexpr int kCycles = 200;
    const unsigned port = freePort(SOCK_STREAM);
    useNetwork("", port);
    const QString log = logTo("server.log");
    QByteArray expected;
    for (int i = 0; i < kCycles; ++i)
        expected += "message " + QByteArray::number(i) + "\r\n";

    // Each peer sends a line and leaves; at most four wait, lest the listen queue overflow.
    std::thread peers;
    QTimer::singleShot(0, [&] {
        peers = std::thread([port] {
            std::deque<int> waiting;
            const auto letGo = [&] {
                readFrom(waiting.front(), 1); // until the terminal closes it
                ::close(waiting.front());
                waiting.pop_front();
            };
            for (int i = 0; i < kCycles; ++i) {
                if (waiting.size() >= 4)
                    letGo();
                const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
                connectTo(fd, "127.0.0.1", port);
                const QByteArray line = "message " + QByteArray::number(i) + "\r\n";
                ::send(fd, line.constData(), line.size(), MSG_NOSIGNAL);
                ::shutdown(fd, SHUT_WR);
                waiting.push_back(fd);
            }
            while (!waiting.empty())
                letGo();
        });
    });
    bool done = false;
    wait.onWait = [&] {
        return done = QFileInfo(log).size() >= expected.size();
    };
    terminal->OnTerminalStart();
    EXPECT_TRUE(eventually([&] { return done && !terminal->isRunning(); }, 60000));
    if (peers.joinable())
        peers.join();
    EXPECT_EQ(fileBytes(log).toStdString(), expected.toStdString());
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text.toStdString();
}

TEST_F(LinkHealingTest, tcpServerServesAPeerThatQueuedMeanwhileWithItsData)
{
    const unsigned port = freePort(SOCK_STREAM);
    useNetwork("", port);
    Fd first;
    Fd second{clientSocket("127.0.0.2")};
    QTimer::singleShot(0, [&] {
        first.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        EXPECT_TRUE(connectTo(first.fd, "127.0.0.1", port));
    });
    terminal->OnTerminalStart();
    ASSERT_TRUE(terminal->isRunning());
    EXPECT_EQ(linkreport::portText(terminal->settings()) + u'|' + linkState(),
              QStringLiteral("IP:127.0.0.1, %1|connected").arg(port));

    // The second peer connects while the first is served and speaks at once.
    ASSERT_TRUE(connectTo(second.fd, "127.0.0.1", port));
    ::send(second.fd, "from the second\r\n", 17, 0);
    ::send(first.fd, "from the first\r\n", 16, 0);
    first.reset();
    ASSERT_TRUE(eventually([&] { return displayText().contains("from the second"); }));
    EXPECT_EQ(displayText().toStdString(), "from the first\nfrom the second\n");
    EXPECT_EQ(linkreport::portText(terminal->settings()) + u'|' + status(),
              QStringLiteral("IP:127.0.0.2, %1|127.0.0.2 connected.").arg(port));
    type("to the second");
    EXPECT_EQ(readFrom(second.fd, 17), "\x02to the second\x03\r\n");

    // When it leaves too, the terminal waits again, saying so.
    QString waitingPane, waitingLine;
    wait.onWait = [&] {
        waitingPane = linkState();
        waitingLine = status();
        return true;
    };
    second.reset();
    ASSERT_TRUE(eventually([&] { return !terminal->isRunning() && !waitingPane.isEmpty(); }));
    EXPECT_EQ(waitingPane + u'|' + waitingLine,
              "waiting|127.0.0.2 closed the connection; waiting for the next one.");
    EXPECT_TRUE(ui.messages.empty());
}

// What a healed link brings begins with its timestamp, as after a start.
TEST_F(LinkHealingTest, tcpClientTellsOfTheLossRefusesSendingAndReconnectsByItself)
{
    setClockForTesting([] { return LocalTime{2026, 12, 5, 10, 22, 24, 31}; });
    const QByteArray stamp("05.12.2026 10:22:24.031 - ");
    const unsigned port = freePort(SOCK_STREAM);
    Fd listener{boundSocket(SOCK_STREAM, "127.0.0.1", port, true)};
    useNetwork("127.0.0.1", port, 20);
    terminal->settings().display.timestampPerLine = true;
    terminal->OnTerminalStart();
    ASSERT_TRUE(terminal->isRunning());
    Fd far{::accept(listener.fd, nullptr, nullptr)};
    ::send(far.fd, "one", 3, 0); // a line that never ends
    ASSERT_TRUE(eventually([&] { return displayText().endsWith("one"); }));

    // The peer closes, then resets; the listener goes too: the terminal must keep trying.
    for (const bool reset : {false, true}) {
        SCOPED_TRACE(reset ? "reset" : "close");
        const int beeps = ui.beeps;
        const linger now{reset, 0}; // a reset or an orderly close
        ::setsockopt(far.fd, SOL_SOCKET, SO_LINGER, &now, sizeof now);
        // The listener goes first, lest a slow reconnect reach one about to close.
        listener.reset();
        far.reset();
        ASSERT_TRUE(linkStateIs(
            "reconnecting",
            QStringLiteral("Connection lost (IP:127.0.0.1, %1); reconnecting every few seconds.")
                .arg(port)));
        EXPECT_TRUE(ui.beeps == beeps + 1 && terminal->isRunning());

        // Typed while the link is down: not sent (the input keeps it), said so.
        const QByteArray shown = displayText();
        EXPECT_EQ(type("while down"), CTerminal::SendResult::Refused);
        ASSERT_TRUE(eventually([&] { return ui.beeps == beeps + 2; }));
        EXPECT_EQ(status(), "Not sent: 14 bytes; the link is down.");
        EXPECT_EQ(displayText(), shown) << "no echo of what did not go out";

        listener.reset(boundSocket(SOCK_STREAM, "127.0.0.1", port, true));
        ASSERT_TRUE(linkStateIs("connected",
                                QStringLiteral("Connected again (IP:127.0.0.1, %1).").arg(port)));
        far.reset(::accept(listener.fd, nullptr, nullptr));
        EXPECT_EQ((std::pair{type("while down"), readFrom(far.fd, 14)}),
                  (std::pair{CTerminal::SendResult::Sent, QByteArray("\x02while down\x03\r\n")}));
        ::send(far.fd, "back\r\n", 6, 0);
        EXPECT_TRUE(eventually([&] { return displayText().endsWith("back\n"); }));
        EXPECT_TRUE(displayText().startsWith(stamp + "one" + stamp)) << displayText().data();
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LinkHealingTest, serialAndUsbDevicesRemovedAndMadeAgainAreReopenedWithTheirSettings)
{
    for (const int kind : {1, 2}) {
        const QString name = kind == 1 ? "ttyLink" : "lpLink";
        SCOPED_TRACE(name.toStdString());
        const QString path = dir.filePath(name);
        auto device = std::make_unique<SocatPty>(path);
        ASSERT_TRUE(device->valid) << "socat is needed";
        TerminalSettings &s = terminal->settings();
        s.portKind = kind;
        s.comDevice = s.usbDevicePath = path;
        std::tie(s.baud, s.parity, s.dataBits, s.stopBits, s.protocol)
            = std::tuple{9600, 1, 7, 2, 0};
        const QString log = logTo(name + ".log");
        const int beeps = ui.beeps;
        terminal->OnTerminalStart();
        ASSERT_TRUE(terminal->isRunning());
        device->write("before\r\n");
        ASSERT_TRUE(eventually([&] { return fileBytes(log) == "before\r\n"; }));

        device.reset();
        ASSERT_TRUE(linkStateIs("lost", name + " is gone; it is opened again once it is back."));
        EXPECT_EQ(ui.beeps, beeps + 1);
        device = std::make_unique<SocatPty>(path);
        ASSERT_TRUE(device->valid);
        ASSERT_TRUE(linkStateIs("connected", name + " is back and open again."));
        if (kind == 1) {
            const SerialTermios line
                = dynamic_cast<CComPort *>(terminal->currentPort())->AppliedTermios();
            EXPECT_EQ((std::pair{line.ospeed, line.cflag & (CSIZE | PARENB | PARODD | CSTOPB)}),
                      (std::pair{9600u, static_cast<std::uint32_t>(CS7 | PARENB | CSTOPB)}));
        }
        device->write("after\r\n");
        EXPECT_TRUE(eventually([&] { return fileBytes(log) == "before\r\nafter\r\n"; }));
        type("hi");
        QByteArray sent;
        EXPECT_TRUE(eventually([&] { return (sent += device->readAll()) == "\x02hi\x03\r\n"; }));
        terminal->OnTerminalStop();
        EXPECT_TRUE(linkState().isEmpty());
    }
    EXPECT_TRUE(ui.messages.empty());
}

} // namespace
