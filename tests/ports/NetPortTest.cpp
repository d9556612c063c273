#include "ports/ConnectWaitDlg.h"
#include "ports/PortTest.h"

#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// The port runs as the window does: its waits show a dialog over `frame`.
class NetPortTest : public PortTest
{
protected:
    CConnectWaitDlg *waitDialog() const { return frame.findChild<CConnectWaitDlg *>(); }
    // Runs `peer` once the server waits for it, with the dialog shown.
    void whenWaiting(const std::function<void(CConnectWaitDlg *)> &peer)
    {
        QTimer::singleShot(0, [this, peer] {
            ASSERT_NE(waitDialog(), nullptr);
            peer(waitDialog());
        });
    }

    // The next datagram at `fd`; none when none came in time.
    static QByteArray nextDatagram(int fd)
    {
        QByteArray got(CNetPort::kMaxDatagram + 1, 0);
        pollfd p{fd, POLLIN, 0};
        const ssize_t n = ::poll(&p, 1, scaledDeadline(10000)) == 1
                              ? ::recv(fd, got.data(), got.size(), MSG_DONTWAIT)
                              : 0;
        return got.left(std::max<ssize_t>(n, 0));
    }

    RecordingUiServices ui;
    QWidget frame;
    CConnectWaitUi waitUi{&frame}; // for a server's wait
    QStringList peers;             // the peers a server told of
};

// Names no host can have are refused at once; a full accept queue plays an unreachable host.
TEST_F(NetPortTest, aFailedOpenShowsTheConnectMessageWithItsReason)
{
    Fd busyTcp{boundSocket(SOCK_STREAM, "0.0.0.0", 0)},
        busyUdp{boundSocket(SOCK_DGRAM, "0.0.0.0", 0)};
    Fd full{boundSocket(SOCK_STREAM, "127.0.0.1", 0)}, fillers[3];
    for (Fd &filler : fillers) {
        filler.reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        connectTo(filler.fd, "127.0.0.1", localPort(full.fd));
    }
    // Address, port, TCP 1 / UDP 2, the error (none: the resolver's), refused at once.
    const std::tuple<const char *, unsigned, int, const char *, bool> rows[] = {
        {"127.0.0.1", freePort(SOCK_STREAM), 1, "CONNREFUSED", false},
        {"127.0.0.1", 0, 1, "INVAL", false},
        {"300.1.2.3", 9100, 1, "11001", true},
        {"not a host!", 9100, 2, "11001", true},
        {"no_such_host.invalid", 9100, 1, nullptr, false},
        {"", localPort(busyTcp.fd), 1, "ADDRINUSE", false},
        {"127.0.0.1", localPort(busyUdp.fd), 2, "ADDRINUSE", false},
        {"127.0.0.1", localPort(full.fd), 1, "TIMEDOUT", false},
    };
    const QString refused = "is no address or host name";
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    const auto descriptors = QDir("/proc/self/fd").count();
    for (const auto &[address, portNumber, type, name, refusedAtOnce] : rows) {
        SCOPED_TRACE(address + (':' + std::to_string(portNumber)));
        ui.messages.clear();
        const int before = log.count(refused, true);
        CNetPort port;
        port.SetConnectTimeoutMs(300);
        EXPECT_FALSE(port.Open(QLatin1String(address), portNumber, 5, type));
        EXPECT_EQ(log.count(refused, true), before + (refusedAtOnce ? 1 : 0));
        ASSERT_EQ(ui.messages.size(), 1u);
        if (name) {
            EXPECT_EQ(ui.messages[0].text,
                      QStringLiteral("Error connecting to port (socket error: %1)!").arg(name));
        }
        EXPECT_EQ(ui.messages[0].icon, UiServices::Icon::Information);
        EXPECT_FALSE(port.IsOpen() || port.Start());
        const QString target = QStringLiteral("%1:%2").arg(address).arg(portNumber);
        if (name == QByteArray("CONNREFUSED")) {
            EXPECT_EQ(whyNot(port, OpenFailure::Link::Network, target),
                      "Connection refused: nothing accepts connections at " + target + '.');
        }
    }
    EXPECT_GT(ticks, 0) << "the event loop ran while connecting";
    EXPECT_EQ(QDir("/proc/self/fd").count(), descriptors) << "a failed open keeps no socket";
}

TEST_F(NetPortTest,
       aTcpServerWaitsWithItsDialogCarriesTenMegabytesBothWaysAndTellsOfThePeersLeavingOnce)
{
    frame.show();
    CNetPort port;
    port.SetConnectionWait(&waitUi);
    port.SetPeerAddressSink([&](const QString &peer) { peers << peer; });
    const unsigned portNumber = freePort(SOCK_STREAM);
    // A cancelled wait ends without a message and frees its port.
    whenWaiting([](CConnectWaitDlg *d) { QTest::keyClick(d, Qt::Key_Escape); });
    EXPECT_FALSE(port.Open(QString(), portNumber, 5, 1));
    EXPECT_TRUE(ui.messages.empty() && frame.isEnabled() && !waitDialog() && !port.IsOpen());
    Fd far;
    whenWaiting([&](CConnectWaitDlg *dialog) {
        EXPECT_TRUE(dialog->isVisible() && dialog->isEnabled() && !frame.isEnabled()
                    && dialog->waitText() == "Waiting for incoming connection...");
        // A stray Enter does not end the wait.
        QTest::keyClick(dialog, Qt::Key_Return);
        QTest::keyClick(dialog->findChild<QPushButton *>(), Qt::Key_Enter);
        far.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        EXPECT_TRUE(connectTo(far.fd, "127.0.0.1", portNumber));
    });
    ASSERT_TRUE(port.Open(QString(), portNumber, 5, 1));
    EXPECT_TRUE(frame.isEnabled() && !waitDialog() && peers == QStringList{"127.0.0.1"});
    ASSERT_TRUE(port.Start());
    // The far end echoes 10 MB while they still go out.
    const QByteArray data = pattern(10 << 20, 1);
    std::thread farEnd([&] {
        std::vector<char> buffer(65536);
        for (qsizetype echoed = 0; echoed < data.size();) {
            const ssize_t n = ::recv(far.fd, buffer.data(), buffer.size(), 0);
            for (ssize_t done = 0; done < n;)
                done += std::max<ssize_t>(
                    0, ::send(far.fd, buffer.data() + done, n - done, MSG_NOSIGNAL));
            echoed = n > 0 ? echoed + n : data.size();
        }
    });
    port.Write(data.constData(), int(data.size()));
    EXPECT_TRUE(collectUntil([&] { return received.size() >= data.size(); }, 120000)
                && received == data);
    ::shutdown(far.fd, SHUT_RD); // ends the far end also when bytes went missing
    farEnd.join();
    far.reset();
    ASSERT_TRUE(waitUntil([&] { return port.IsLinkLost(); }));
    // Some rounds of the reader's 100 ms look at the closed socket: told once.
    waitUntil([] { return false; }, 400 / deadlineScale());
    port.Close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.counts[PortNotifyCode::NetLinkLost] == 1 && ui.messages.empty());
}

// A peer on the same port number sits on a second loopback address.
TEST_F(NetPortTest, aUdpPeerGetsWholeDatagramsUpToTheLargestBothWays)
{
    const unsigned portNumber = freePort(SOCK_DGRAM);
    Fd far{boundSocket(SOCK_DGRAM, "127.0.0.2", portNumber, true)};
    ASSERT_TRUE(connectTo(far.fd, "127.0.0.1", portNumber));
    CNetPort port;
    ASSERT_TRUE(port.Open("127.0.0.2", portNumber, 5, 2) && port.Start());
    const QByteArray largest = QByteArray(CNetPort::kMaxDatagram - 1, 'b') + 'z';
    ASSERT_EQ(::send(far.fd, largest.constData(), largest.size(), 0), largest.size());
    EXPECT_EQ(receive(largest.size()), largest);
    port.Write(largest.constData(), 300);
    EXPECT_EQ(nextDatagram(far.fd), largest.left(255)); // a block is a datagram
}

// The sender's host is heard from any of its ports, nobody else; replies go to the configured port.
TEST_F(NetPortTest, aUdpServerShowsTheFirstBurstOnceInOrderAndHearsOnlyTheSendersHost)
{
    const unsigned portNumber = freePort(SOCK_DGRAM);
    Fd sender{boundSocket(SOCK_DGRAM, "127.0.0.2", 0)};
    Fd replies{boundSocket(SOCK_DGRAM, "127.0.0.2", portNumber, true)};
    Fd stranger{boundSocket(SOCK_DGRAM, "127.0.0.3", 0)};
    Fd otherPort{boundSocket(SOCK_DGRAM, "127.0.0.2", 0)};
    for (const Fd *fd : {&sender, &stranger, &otherPort})
        ASSERT_TRUE(connectTo(fd->fd, "127.0.0.1", portNumber));
    std::vector<QByteArray> burst{pattern(8000), "second", "third"};
    CNetPort port;
    port.SetConnectionWait(&waitUi);
    port.SetPeerAddressSink([&](const QString &peer) { peers << peer; });
    whenWaiting([&](CConnectWaitDlg *) {
        for (const QByteArray &d : burst)
            ::send(sender.fd, d.constData(), d.size(), 0);
    });
    ASSERT_TRUE(port.Open(QString(), portNumber, 5, 2) && port.Start());
    EXPECT_EQ(peers, QStringList{"127.0.0.2"});
    ::send(stranger.fd, "stranger", 8, 0);
    burst.push_back(QByteArray(CNetPort::kMaxDatagram - 1, 'l') + 'z');
    ::send(otherPort.fd, burst.back().constData(), burst.back().size(), 0);
    ASSERT_TRUE(collectUntil([&] { return arrived.size() >= burst.size(); }));
    EXPECT_TRUE(arrived == burst) << "each once, in order, nothing from another host";

    port.Write("reply", 5);
    EXPECT_EQ(nextDatagram(replies.fd), QByteArray("reply"));
    EXPECT_EQ(::recv(sender.fd, nullptr, 0, MSG_DONTWAIT), -1) << "not to the source port";
}

} // namespace
