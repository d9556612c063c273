#pragma once

#include "ports/PortEngine.h"

#include <QDeadlineTimer>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

struct in_addr;

// The network link. One Open covers four ways of connecting:
//   address given, type 1: TCP client
//   address empty, type 1: TCP server (waits for one connection)
//   address given, type 2: UDP peer (local port = remote port)
//   address empty, type 2: UDP server (waits for the first datagram, then
//                          talks to its sender at the configured port)
// Open runs on the user-interface thread and keeps the window alive while it
// resolves, connects or waits.
class CNetPort final : public CPortEngine
{
public:
    static constexpr int kTcp = 1;
    static constexpr int kUdp = 2;
    // Upper limit for resolving a host name and a TCP connect together.
    static constexpr int kConnectTimeoutMs = 20000;

    CNetPort();
    ~CNetPort() override;

    // `address` empty means server; `socketType` 1 is TCP, anything else UDP.
    // Connect errors are shown to the user; a cancelled server wait is not.
    bool Open(const QString &address, unsigned port, int timeoutSec, int socketType);
    bool IsOpen() const override { return m_pSocket >= 0; }

    // Receives the peer's address ("%d.%d.%d.%d") when a server gets its peer.
    void SetPeerAddressSink(std::function<void(const QString &)> sink);
    // The window that is disabled while Open waits and that owns the wait
    // dialog; without one, the active window at the time of Open.
    void SetMainWindow(QWidget *window);

    // The remote address in use; after a UDP server's first datagram, its sender.
    QString Address() const { return m_strAddress; }
    bool IsLinkLost() const { return m_bLinkLost.load() != 0; }
    // The socket error code of the last failed Open; 0 after a successful
    // or cancelled one.
    int LastOpenError() const { return m_nLastOpenError; }
    // Shortens the connect limit (tests).
    void SetConnectTimeoutMs(int ms) { m_connectTimeoutMs = ms; }

protected:
    bool WriteBlock(const std::uint8_t *data, std::uint32_t length) override;
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
    QWidget *OwnerWindow() const;

    QString m_strAddress;
    std::atomic<int> m_bCancel{0};
    std::atomic<int> m_bLinkLost{0};
    // Only the user-interface thread changes the descriptors, and only while
    // no port thread runs.
    int m_pSocket = -1;
    int m_pListenSocket = -1;

    bool m_opening = false;
    int m_nLastOpenError = 0;
    int m_connectTimeoutMs = kConnectTimeoutMs;
    std::function<void(const QString &)> m_peerSink;
    QPointer<QWidget> m_mainWindow;
    // A write message waiting to be shown; shared with the queued call, which
    // may run after the port is gone.
    struct WriteMessage
    {
        std::mutex mutex;
        bool pending = false;
    };
    std::shared_ptr<WriteMessage> m_writeMessage;
};
