#include "ports/NetPort.h"
#include "display/ReceivedBlockQueue.h"
#include "platform/PortNotify.h"
#include "ports/ConnectWaitDlg.h"
#include "support/EventLoopWait.h"
#include "support/LogCapture.h"
#include "support/LoopbackSockets.h"
#include "support/RecordingUiServices.h"

#include <QDeadlineTimer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr qsizetype kTenMegabytes = 10 * 1024 * 1024;

// Stands in for the main window: counts link-loss notifications and takes the
// received blocks off the display queue.
class NotifyTarget final : public QObject
{
public:
    NotifyTarget()
    {
        CReceivedBlockQueue::instance().clear();
        setPortNotifyTarget(this, true);
    }
    ~NotifyTarget() override
    {
        setPortNotifyTarget(nullptr, false);
        CReceivedBlockQueue::instance().clear();
    }
    bool event(QEvent *e) override
    {
        const PortNotifyEvent *notify = PortNotifyEvent::from(e);
        if (!notify)
            return QObject::event(e);
        const int code = notify->lParam();
        linkLost += code == PortNotifyCode::NetLinkLost ? 1 : 0;
        return true;
    }
    void drain()
    {
        QByteArray block;
        while (CReceivedBlockQueue::instance().takeNext(block)) {
            received += block;
            blocks.push_back(block);
        }
    }

    int linkLost = 0;
    QByteArray received;
    std::vector<QByteArray> blocks;
};

// While port threads post, a test drains the display queue but leaves Qt's
// event queue alone until Close has joined them: ThreadSanitizer cannot see the
// hand-over of an event inside Qt, which is not built for it.
enum class Events { Process, Hold };

template<typename Pred>
bool waitFor(NotifyTarget *target, Pred done, Events events, int limitMs = 20000)
{
    const QDeadlineTimer deadline(qint64(limitMs) * deadlineScale());
    for (;;) {
        if (events == Events::Process)
            QCoreApplication::processEvents();
        if (target)
            target->drain();
        if (done())
            return true;
        if (deadline.hasExpired())
            return false;
        ::poll(nullptr, 0, 1);
    }
}

QByteArray pattern(quint32 seed)
{
    QByteArray bytes(kTenMegabytes, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    return bytes;
}

// 10 MB each way at the same time; the port's side must show `prefix` and then
// the far end's bytes. UDP has no flow control, so both directions keep at most
// a window in flight there: a dropped datagram would be the test's fault.
void exchange(CNetPort &port, NotifyTarget &target, int far, bool udp,
              const QByteArray &prefix = {})
{
    const QByteArray toPort = pattern(1);
    const QByteArray fromPort = pattern(2);
    const qsizetype window = udp ? 32 * 1024 : kTenMegabytes;
    std::atomic<qsizetype> portGot{0};
    std::atomic<qsizetype> farGot{0};
    QByteArray farData;

    const int big = 2 * 1024 * 1024;
    ::setsockopt(far, SOL_SOCKET, SO_RCVBUF, &big, sizeof big);
    ::fcntl(far, F_SETFL, ::fcntl(far, F_GETFL) | O_NONBLOCK);
    std::thread farEnd([&] {
        qsizetype sent = 0;
        std::vector<char> buffer(65536);
        const QDeadlineTimer deadline(scaledDeadline(120000));
        while ((sent < toPort.size() || farGot < fromPort.size()) && !deadline.hasExpired()) {
            const qsizetype room = std::min(toPort.size() - sent, window - (sent - portGot));
            pollfd p{far, static_cast<short>(POLLIN | (room > 0 ? POLLOUT : 0)), 0};
            ::poll(&p, 1, 2);
            const ssize_t n = ::recv(far, buffer.data(), buffer.size(), 0);
            if (n > 0)
                farData.append(buffer.data(), n);
            farGot = farData.size();
            if (room > 0 && (p.revents & POLLOUT)) {
                const ssize_t m
                    = ::send(far, toPort.constData() + sent,
                             std::min<qsizetype>(room, udp ? 1024 : 65536), MSG_NOSIGNAL);
                sent += std::max<ssize_t>(m, 0);
            }
        }
    });

    qsizetype written = 0;
    const bool done = waitFor(
        &target,
        [&] {
            portGot = target.received.size() - prefix.size();
            while (written < fromPort.size() && written - farGot < window) {
                const int n
                    = static_cast<int>(std::min<qsizetype>(16384, fromPort.size() - written));
                written += port.Write(fromPort.constData() + written, n) > 0 ? n : 0;
            }
            return portGot >= toPort.size() && farGot >= fromPort.size();
        },
        Events::Hold, 120000);
    farEnd.join();
    EXPECT_TRUE(done) << "port got " << portGot << ", far end got " << farGot;
    EXPECT_TRUE(target.received == prefix + toPort);
    EXPECT_TRUE(farData == fromPort);
}

CConnectWaitDlg *waitDialog(QWidget &window)
{
    return window.findChild<CConnectWaitDlg *>();
}

QString connectMessage(const char *name)
{
    return QStringLiteral("Error connecting to port (socket error: %1)!").arg(QLatin1String(name));
}

} // namespace

TEST(NetPortWaitDialog, enterDoesNothingCancelOnlyRaisesTheFlag)
{
    for (int type : {1, 2}) {
        std::atomic<int> cancel{0};
        CConnectWaitDlg dialog(&cancel, type);
        dialog.show();
        EXPECT_EQ(dialog.waitText(), type == 1
                                         ? QStringLiteral("Waiting for incoming connection...")
                                         : QStringLiteral("Waiting for incoming UDP data..."));
        auto *button = dialog.findChild<QPushButton *>(QStringLiteral("cancelButton"));
        button->setFocus();
        QTest::keyClick(&dialog, Qt::Key_Return);
        QTest::keyClick(button, Qt::Key_Enter);
        EXPECT_EQ(cancel, 0);
        for (const auto &cancelBy : std::vector<std::function<void()>>{
                 [&] { QTest::keyClick(&dialog, Qt::Key_Escape); }, [&] { dialog.close(); },
                 [&] {
                     button->click();
                 }}) {
            cancel = 0;
            cancelBy();
            EXPECT_EQ(cancel, 1);
            EXPECT_TRUE(dialog.isVisible()) << "the port closes the dialog";
        }
    }
}

TEST(NetPortOpen, failuresShowTheConnectMessage)
{
    Fd busyTcp{boundSocket(SOCK_STREAM, "0.0.0.0", 0)};
    Fd busyUdp{boundSocket(SOCK_DGRAM, "0.0.0.0", 0)};
    struct Row
    {
        const char *address;
        unsigned port;
        int type;
        const char *name;
    };
    const Row rows[] = {
        {"127.0.0.1", freePort(SOCK_STREAM), 1, "CONNREFUSED"},
        {"127.0.0.1", 0, 1, "INVAL"},
        {"", 70000, 1, "INVAL"},
        {"300.1.2.3", 9100, 1, "11001"},
        {"not a host!", 9100, 2, "11001"},
        {"", localPort(busyTcp.fd), 1, "ADDRINUSE"},
        {"", localPort(busyUdp.fd), 2, "ADDRINUSE"},
        {"127.0.0.1", localPort(busyUdp.fd), 2, "ADDRINUSE"},
    };
    for (const Row &row : rows) {
        RecordingUiServices ui;
        CNetPort port;
        EXPECT_FALSE(port.Open(QLatin1String(row.address), row.port, 5, row.type)) << row.name;
        ASSERT_EQ(ui.messages.size(), 1u) << row.address << ":" << row.port;
        EXPECT_EQ(ui.messages[0].text, connectMessage(row.name));
        EXPECT_EQ(ui.messages[0].icon, UiServices::Icon::Information);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_FALSE(port.Start());
    }
}

TEST(NetPortOpen, onlyNamesNoHostCanHaveAreRefusedWithoutAskingTheResolver)
{
    RecordingUiServices ui;
    LogCapture log;
    const QString refused = QStringLiteral("is no address or host name");
    const struct
    {
        const char *name;
        bool refusedAtOnce;
    } rows[] = {
        {"not a host!", true},
        {"300.1.2.3", true},
        {"-a.invalid", true},
        {"a..invalid", true},
        {"no_such_host.invalid", false},
        {"no-such-host.invalid.", false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const int before = log.count(refused, true);
        CNetPort port;
        port.SetConnectTimeoutMs(2000);
        EXPECT_FALSE(port.Open(QLatin1String(row.name), 9100, 5, 1));
        EXPECT_EQ(log.count(refused, true), before + (row.refusedAtOnce ? 1 : 0));
    }
}

TEST(NetPortOpen, connectGivesUpWithTimedOutAndKeepsTheWindowAlive)
{
    // A listener whose accept queue is full drops further handshakes, so a
    // connect to it stays pending like one to an unreachable host.
    Fd listener{boundSocket(SOCK_STREAM, "127.0.0.1", 0)};
    Fd fillers[3];
    for (Fd &filler : fillers) {
        filler.reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        connectTo(filler.fd, "127.0.0.1", localPort(listener.fd));
    }
    RecordingUiServices ui;
    CNetPort port;
    port.SetConnectTimeoutMs(300);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    EXPECT_FALSE(port.Open(QStringLiteral("127.0.0.1"), localPort(listener.fd), 5, 1));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, connectMessage("TIMEDOUT"));
    EXPECT_GT(ticks, 0) << "the event loop ran while connecting";
}

TEST(NetPortTcpServer, waitsWithDialogExchangesAndReportsPeerCloseOnce)
{
    NotifyTarget target;
    QWidget window;
    window.show();
    CNetPort port;
    port.SetMainWindow(&window);
    QStringList peers;
    port.SetPeerAddressSink([&](const QString &peer) { peers << peer; });
    const unsigned portNumber = freePort(SOCK_STREAM);
    Fd far;
    // Twice: the controller answers a lost link with Close, Open and Start.
    for (int run = 0; run < 2; ++run) {
        QTimer::singleShot(0, [&] {
            CConnectWaitDlg *dialog = waitDialog(window);
            ASSERT_NE(dialog, nullptr);
            EXPECT_TRUE(dialog->isVisible() && dialog->isEnabled());
            EXPECT_FALSE(window.isEnabled());
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Opening connection..."));
            far.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
            EXPECT_TRUE(connectTo(far.fd, "127.0.0.1", portNumber));
        });
        ASSERT_TRUE(port.Open(QString(), portNumber, 5, 1)) << "run " << run;
        EXPECT_TRUE(window.isEnabled());
        EXPECT_EQ(waitDialog(window), nullptr);
        EXPECT_EQ(peers, QStringList{QStringLiteral("127.0.0.1")});
        peers.clear();
        ASSERT_TRUE(port.Start());
        if (run == 0)
            exchange(port, target, far.fd, false);
        far.reset();
        ASSERT_TRUE(waitFor(
            &target, [&] { return port.IsLinkLost(); }, Events::Hold));
        // The reader polls the closed socket every 100 ms: give it a few rounds
        // in which it must not report again.
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        port.Close();
        QCoreApplication::processEvents();
        EXPECT_EQ(target.linkLost, 1);
        target.linkLost = 0;
    }
}

TEST(NetPortServer, cancelEndsTheWaitWithoutMessage)
{
    for (int type : {SOCK_STREAM, SOCK_DGRAM}) {
        RecordingUiServices ui;
        QWidget window;
        window.show();
        CNetPort port;
        port.SetMainWindow(&window);
        const unsigned portNumber = freePort(type);
        QTimer::singleShot(0, [&] {
            ASSERT_NE(waitDialog(window), nullptr);
            waitDialog(window)->findChild<QPushButton *>()->click();
        });
        EXPECT_FALSE(port.Open(QString(), portNumber, 5, type == SOCK_STREAM ? 1 : 2));
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_TRUE(window.isEnabled());
        EXPECT_EQ(waitDialog(window), nullptr);
        EXPECT_FALSE(port.IsOpen());
        Fd again{boundSocket(type, "0.0.0.0", portNumber)}; // the listening socket is gone
    }
}

TEST(NetPortUdpPeer, exchangesTenMegabytesWithPeerAtTheSamePort)
{
    // The peer uses the same port number, so it sits on a second loopback address.
    NotifyTarget target;
    const unsigned portNumber = freePort(SOCK_DGRAM);
    Fd far{boundSocket(SOCK_DGRAM, "127.0.0.2", portNumber, true)};
    ASSERT_TRUE(connectTo(far.fd, "127.0.0.1", portNumber));
    CNetPort port;
    ASSERT_TRUE(port.Open(QStringLiteral("127.0.0.2"), portNumber, 5, 2));
    ASSERT_TRUE(port.Start());
    exchange(port, target, far.fd, true);
}

TEST(NetPortUdp, wholeDatagramsUpTo65507BytesInBothModes)
{
    for (const bool server : {false, true}) {
        SCOPED_TRACE(server ? "server" : "peer");
        NotifyTarget target;
        QWidget window;
        const unsigned portNumber = freePort(SOCK_DGRAM);
        Fd far{boundSocket(SOCK_DGRAM, "127.0.0.2", portNumber, true)};
        ASSERT_TRUE(connectTo(far.fd, "127.0.0.1", portNumber));
        const QByteArray first(8000, 'a');
        const QByteArray largest = QByteArray(CNetPort::kMaxDatagram - 1, 'b') + 'z';
        CNetPort port;
        port.SetMainWindow(&window);
        if (server) {
            QTimer::singleShot(0, [&] { ::send(far.fd, first.constData(), first.size(), 0); });
            ASSERT_TRUE(port.Open(QString(), portNumber, 5, 2));
        } else {
            ASSERT_TRUE(port.Open(QStringLiteral("127.0.0.2"), portNumber, 5, 2));
        }
        ASSERT_TRUE(port.Start());
        if (!server)
            ::send(far.fd, first.constData(), first.size(), 0);
        ASSERT_EQ(::send(far.fd, largest.constData(), largest.size(), 0), largest.size());
        ASSERT_TRUE(waitFor(
            &target, [&] { return target.blocks.size() >= 2; }, Events::Hold));
        EXPECT_TRUE(target.blocks[0] == first);
        EXPECT_TRUE(target.blocks[1] == largest);
        port.Close();
    }
}

TEST(NetPortUdpServer, firstBurstShownOnceInOrderFromAnySourcePortOfTheSendersHost)
{
    NotifyTarget target;
    QWidget window;
    const unsigned portNumber = freePort(SOCK_DGRAM);
    // The sender talks from a port of its own choosing; replies go to the
    // configured port on its host.
    Fd sender{boundSocket(SOCK_DGRAM, "127.0.0.2", 0)};
    ASSERT_TRUE(connectTo(sender.fd, "127.0.0.1", portNumber));
    Fd replies{boundSocket(SOCK_DGRAM, "127.0.0.2", portNumber, true)};
    Fd stranger{boundSocket(SOCK_DGRAM, "127.0.0.3", 0)};
    ASSERT_TRUE(connectTo(stranger.fd, "127.0.0.1", portNumber));

    std::vector<QByteArray> burst;
    for (int i = 0; i < 10; ++i)
        burst.push_back("datagram " + QByteArray::number(i));
    CNetPort port;
    port.SetMainWindow(&window);
    QStringList peers;
    port.SetPeerAddressSink([&](const QString &peer) { peers << peer; });
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(waitDialog(window)->waitText(),
                  QStringLiteral("Waiting for incoming UDP data..."));
        for (const QByteArray &d : burst)
            ::send(sender.fd, d.constData(), d.size(), 0);
    });
    ASSERT_TRUE(port.Open(QString(), portNumber, 5, 2));
    EXPECT_EQ(port.Address(), QStringLiteral("127.0.0.2"));
    EXPECT_EQ(peers, QStringList{QStringLiteral("127.0.0.2")});
    ASSERT_TRUE(port.Start());
    ASSERT_TRUE(waitFor(
        &target, [&] { return target.blocks.size() >= burst.size(); }, Events::Hold));

    ::send(stranger.fd, "stranger", 8, 0);
    Fd otherPort{boundSocket(SOCK_DGRAM, "127.0.0.2", 0)};
    ASSERT_TRUE(connectTo(otherPort.fd, "127.0.0.1", portNumber));
    ::send(otherPort.fd, "later", 5, 0);
    ASSERT_TRUE(waitFor(
        &target, [&] { return target.blocks.size() > burst.size(); }, Events::Hold));
    burst.push_back("later");
    EXPECT_EQ(target.blocks, burst) << "each once, in order, nothing from another host";

    port.Write("reply", 5);
    char got[16] = {};
    pollfd p{replies.fd, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 10000), 1);
    EXPECT_EQ(::recv(replies.fd, got, sizeof got, MSG_DONTWAIT), 5);
    EXPECT_EQ(QByteArray(got), QByteArray("reply"));
    EXPECT_EQ(::recv(sender.fd, got, sizeof got, MSG_DONTWAIT), -1) << "not to the source port";
    port.Close();
}
