#pragma once

#include "ports/PortEngine.h"

#include <QDeadlineTimer>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class CConnectionWait;
struct in_addr;

// The network link. One Open covers four ways of connecting:
//   address given, type 1: TCP client
//   address empty, type 1: TCP server (waits for one connection)
//   address given, type 2: UDP peer (local port = remote port)
//   address empty, type 2: UDP server (waits for the first datagram, then
//                          talks to its sender at the configured port)
// Open runs on the user-interface thread and keeps the window alive while it
// resolves, connects or waits.
//
// A TCP client notices at once when its peer closes or resets the connection
// and connects again by itself, every few seconds, until it stands or the port
// is closed. A TCP server reports its lost peer (NetLinkLost); closed with
// CloseKeepingListener, its listening socket stays, so the next Open serves a
// peer that queued meanwhile, with everything that peer sent.
class CNetPort final : public CPortEngine
{
public:
    static constexpr int kTcp = 1;
    static constexpr int kUdp = 2;
    // Upper limit for resolving a host name and a TCP connect together.
    static constexpr int kConnectTimeoutMs = 20000;
    // A lost TCP client link is tried again at most this often.
    static constexpr int kReconnectIntervalMs = 3000;
    // The largest datagram: everything an IPv4 UDP datagram can carry.
    static constexpr std::uint32_t kMaxDatagram = 65507;

    CNetPort();
    ~CNetPort() override;

    // `address` empty means server; `socketType` 1 is TCP, anything else UDP.
    // Connect errors are shown to the user; a cancelled server wait is not.
    bool Open(const QString &address, unsigned port, int timeoutSec, int socketType);
    // Also while a TCP client runs without its connection, reconnecting.
    bool IsOpen() const override { return IsStarted() || m_pSocket >= 0; }
    // Close, except that a TCP server's listening socket stays for the next
    // Open on the same port: what the controller does when the peer left.
    bool CloseKeepingListener();

    // Receives the peer's address ("%d.%d.%d.%d") when a server gets its peer.
    void SetPeerAddressSink(std::function<void(const QString &)> sink);
    // What the user sees while Open waits (not owned); none by default.
    void SetConnectionWait(CConnectionWait *wait) { m_wait = wait; }

    // The remote address in use; after a UDP server's first datagram, its sender.
    QString Address() const { return m_strAddress; }
    bool IsLinkLost() const { return m_bLinkLost.load() != 0; }
    // The socket error code of the last failed Open; 0 after a successful
    // or cancelled one.
    int LastOpenError() const { return m_nLastOpenError; }
    // Shortens the connect limit and the pause between reconnects (tests).
    void SetConnectTimeoutMs(int ms) { m_connectTimeoutMs = ms; }
    void SetReconnectIntervalMs(int ms) { m_reconnectIntervalMs = ms; }

protected:
    bool WriteBlock(const std::uint8_t *data, std::uint32_t length) override;
    // A TCP run goes out in as few sends as the socket takes; UDP sends a
    // datagram per block.
    std::size_t WriteRun(TxRun blocks) override;
    void ReaderLoop(std::uint8_t *buffer) override;
    void TeardownLink() override;
    int StopTimeoutMs() const override { return 30000; }
    bool CanStart() const override { return m_pSocket >= 0; }

private:
    enum class WaitResult { Peer, Cancelled, Failed };

    WaitResult WaitForPeer(unsigned port, bool tcp, in_addr &peer);
    // 0 on success, -1 when Close ended the wait, otherwise the error code.
    int Resolve(const QString &host, in_addr &addr, const QDeadlineTimer &deadline);
    int Connect(const in_addr &addr, unsigned port, bool tcp, const QDeadlineTimer &deadline);
    void ReportPeer(const in_addr &addr);
    void ShowConnectError(int code);
    void ShowWriteError(const QString &text);
    bool PauseForSend(int fd, int &elapsedMs);
    bool IsTcpClient() const { return m_bTcp && !m_strAddress.isEmpty(); }
    // Reader thread: one attempt to connect the lost TCP client again, at
    // the earliest one interval after the previous. False on stop.
    bool Reconnect();
    void OnConnectionGone(ssize_t r, int err);
    ssize_t SendSome(int fd, const std::uint8_t *data, std::size_t length);
    void CloseDataSocket();
    void CloseListener();

    QString m_strAddress;
    std::atomic<int> m_bCancel{0};
    std::atomic<int> m_bLinkLost{0};
    // The user-interface thread changes the descriptors only while no port
    // thread runs; the reader of a TCP client replaces the data socket under
    // the engine's link lock.
    std::atomic<int> m_pSocket{-1};
    int m_pListenSocket = -1;
    unsigned m_nListenPort = 0;
    bool m_bKeepListener = false;
    // What Open connected to, for reconnecting and for the UDP server's replies.
    bool m_bTcp = true;
    unsigned m_nPort = 0;
    std::uint32_t m_remoteAddr = 0; // network order
    // The UDP server keeps the socket its first datagram came to: it takes
    // datagrams from the sender's host, whatever their source port, and sends
    // its replies there to the configured port.
    bool m_bUdpServer = false;
    std::atomic<bool> m_strangerReported{false};
    std::int64_t m_lastConnectMs = 0;
    int m_reconnectIntervalMs = kReconnectIntervalMs;

    bool m_opening = false;
    int m_nLastOpenError = 0;
    int m_connectTimeoutMs = kConnectTimeoutMs;
    std::function<void(const QString &)> m_peerSink;
    CConnectionWait *m_wait = nullptr;
    // A write message waiting to be shown; shared with the queued call, which
    // may run after the port is gone.
    struct WriteMessage
    {
        std::mutex mutex;
        bool pending = false;
    };
    std::shared_ptr<WriteMessage> m_writeMessage;
};
