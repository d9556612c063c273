#include "NetPort.h"

#include "platform/Logging.h"
#include "platform/PortNotify.h"
#include "platform/SocketErrors.h"
#include "platform/UiServices.h"
#include "platform/WriteCursor.h"
#include "ports/ConnectionWait.h"
#include "ports/ReceivedBlockQueue.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// How long Open sleeps on its socket between two turns of the event loop.
constexpr int kPumpMs = 50;
// The pace of the reader on a socket that failed or was closed, which stays
// readable; a quiet one it waits on without a time-out.
constexpr int kReaderIdleMs = 100;
constexpr int kSendPauseMs = 100;
// A read takes what has arrived, up to a whole datagram of the largest size.
constexpr std::uint32_t kReadChunk = 64 * 1024;
static_assert(kReadChunk >= CNetPort::kMaxDatagram);

std::int64_t nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A peer that vanishes without a word (cable pulled, power gone) is noticed
// within about half a minute instead of never.
void keepAlive(int fd)
{
    const int on = 1;
    const int idleSec = 10;
    const int intervalSec = 5;
    const int probes = 3;
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idleSec, sizeof idleSec);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &intervalSec, sizeof intervalSec);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
}

// Send errors that mean the TCP connection is gone.
bool connectionGone(int err)
{
    return err == EPIPE || err == ECONNRESET || err == ENOTCONN || err == ECONNABORTED
           || err == ETIMEDOUT || err == ESHUTDOWN;
}

// A connect to a free loopback port can meet itself (both ends on the same
// port) instead of failing: that is no peer.
bool connectedToItself(int fd)
{
    sockaddr_in self{};
    sockaddr_in peer{};
    socklen_t selfLen = sizeof self;
    socklen_t peerLen = sizeof peer;
    return ::getsockname(fd, reinterpret_cast<sockaddr *>(&self), &selfLen) == 0
           && ::getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &peerLen) == 0
           && self.sin_port == peer.sin_port && self.sin_addr.s_addr == peer.sin_addr.s_addr;
}

QString dottedText(const in_addr &addr)
{
    const auto *b = reinterpret_cast<const std::uint8_t *>(&addr.s_addr);
    return QString::asprintf("%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
}

QString connectMessage(int code)
{
    return QCoreApplication::translate("CNetPort", "Error connecting to port (socket error: %1)!")
        .arg(SocketErrors::connectErrorName(code));
}

// Keeps the window painting and the wait dialog answering while Open waits.
void pumpEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

short pollFd(int fd, short events, int timeoutMs)
{
    pollfd p{fd, events, 0};
    int r;
    do {
        r = ::poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    return r > 0 ? p.revents : 0;
}

sockaddr_in ipv4Address(in_addr addr, unsigned port)
{
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<std::uint16_t>(port));
    sa.sin_addr = addr;
    return sa;
}

// The listening and UDP sockets share their port: a server restarted after a
// lost link must rebind at once, and a UDP peer on the same machine (a device
// simulator on another loopback address) must be able to bind the same port.
// Linux still refuses a second TCP listener on the port.
void allowAddressReuse(int fd)
{
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
}

int bindAny(int fd, unsigned port)
{
    in_addr any{};
    any.s_addr = htonl(INADDR_ANY);
    const sockaddr_in sa = ipv4Address(any, port);
    return ::bind(fd, reinterpret_cast<const sockaddr *>(&sa), sizeof sa);
}

// A name worth asking the resolver about. Digits-only names are malformed
// dotted addresses ("300.1.2.3"): answered at once instead of by a DNS query.
bool looksLikeHostName(const QByteArray &name)
{
    if (name.isEmpty() || name.size() > 253)
        return false;
    const QList<QByteArray> labels = name.split('.');
    bool allDigits = true;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const QByteArray &label = labels[i];
        if (label.isEmpty()) {
            if (i + 1 == labels.size() && i > 0)
                continue; // trailing dot of a fully qualified name
            return false;
        }
        if (label.size() > 63 || label.startsWith('-') || label.endsWith('-'))
            return false;
        for (char c : label) {
            const bool digit = c >= '0' && c <= '9';
            const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            if (!digit && !letter && c != '-' && c != '_')
                return false;
            if (!digit)
                allDigits = false;
        }
    }
    return !allDigits;
}

// Tells the connection wait, if there is one, of a wait's begin and end.
class WaitShown
{
public:
    WaitShown(CConnectionWait *wait, int socketType, std::atomic<int> *cancel)
        : m_wait(wait)
        , m_peer(cancel != nullptr)
    {
        if (!m_wait)
            return;
        if (m_peer)
            m_wait->beginPeerWait(socketType, cancel);
        else
            m_wait->beginConnect();
    }
    ~WaitShown() { release(); }
    WaitShown(const WaitShown &) = delete;
    WaitShown &operator=(const WaitShown &) = delete;

    void release()
    {
        if (m_wait && m_peer)
            m_wait->endPeerWait();
        else if (m_wait)
            m_wait->endConnect();
        m_wait = nullptr;
    }

private:
    CConnectionWait *m_wait;
    bool m_peer;
};

} // namespace

CNetPort::CNetPort()
    : m_writeMessage(std::make_shared<WriteMessage>())
{}

CNetPort::~CNetPort()
{
    Close();
}

void CNetPort::SetPeerAddressSink(std::function<void(const QString &)> sink)
{
    m_peerSink = std::move(sink);
}

bool CNetPort::Open(const QString &address, unsigned port, int timeoutSec, int socketType)
{
    if (m_bWriterRunning || IsStarted() || m_opening)
        return false;
    m_opening = true;
    const auto done = qScopeGuard([this] { m_opening = false; });
    const bool tcp = socketType == kTcp;

    // Sockets of an earlier Open that was never closed; a TCP server keeps
    // listening on the same port, with the peers that queued meanwhile.
    CloseDataSocket();
    if (!(tcp && address.isEmpty() && m_nListenPort == port))
        CloseListener();
    m_strAddress = address;
    m_nTimeoutSec = timeoutSec;
    m_nRxBufferSize = 2 * kReadChunk;
    m_nReadChunk = kReadChunk;
    m_bLinkLost = 0;
    m_nBlocksWritten = 0;
    m_bCancel = 0;
    m_bTcp = tcp;
    m_nPort = port;
    m_remoteAddr = 0;
    m_bUdpServer = false;
    m_strangerReported = false;
    m_nLastOpenError = 0;

    if (port == 0 || port > 65535) {
        qCDebug(lcNet, "port number %u out of range", port);
        ShowConnectError(SocketErrors::WsaEInval);
        return false;
    }

    in_addr remote{};
    if (address.isEmpty()) {
        if (WaitForPeer(port, tcp, remote) != WaitResult::Peer)
            return false;
        m_remoteAddr = remote.s_addr;
        return true;
    }
    int code = 0;
    {
        WaitShown shown(m_wait, socketType, nullptr);
        const QDeadlineTimer deadline(m_connectTimeoutMs);
        code = Resolve(address, remote, deadline);
        if (code == 0)
            code = Connect(remote, port, tcp, deadline);
    }
    // Shown once the window is enabled again, so that the box is usable.
    if (code > 0)
        ShowConnectError(code);
    if (code != 0)
        return false;
    m_remoteAddr = remote.s_addr;
    m_lastConnectMs = nowMs();
    return true;
}

int CNetPort::Resolve(const QString &host, in_addr &addr, const QDeadlineTimer &deadline)
{
    const QByteArray name = host.trimmed().toUtf8();
    if (::inet_pton(AF_INET, name.constData(), &addr) == 1)
        return 0;
    if (!looksLikeHostName(name)) {
        qCDebug(lcNet, "\"%s\" is no address or host name", name.constData());
        return SocketErrors::WsaHostNotFound;
    }

    // The resolver may take seconds: it runs on its own thread while the
    // window goes on. A lookup given up on finishes alone and frees its state.
    struct Lookup
    {
        QByteArray name;
        std::atomic<bool> finished{false};
        int eai = 0;
        int err = 0;
        in_addr addr{};
        CEvent done;
    };
    auto lookup = std::make_shared<Lookup>();
    lookup->name = name;
    try {
        std::thread([lookup] {
            addrinfo hints{};
            hints.ai_family = AF_INET;
            addrinfo *result = nullptr;
            lookup->eai = ::getaddrinfo(lookup->name.constData(), nullptr, &hints, &result);
            lookup->err = errno;
            if (lookup->eai == 0) {
                if (result && result->ai_addr && result->ai_family == AF_INET)
                    lookup->addr = reinterpret_cast<const sockaddr_in *>(result->ai_addr)->sin_addr;
                else
                    lookup->eai = EAI_NONAME;
            }
            if (result)
                ::freeaddrinfo(result);
            lookup->finished.store(true, std::memory_order_release);
            lookup->done.set();
        }).detach();
    } catch (const std::system_error &) {
        return SocketErrors::codeFromErrno(EAGAIN);
    }

    while (!lookup->finished.load(std::memory_order_acquire)) {
        if (deadline.hasExpired())
            return SocketErrors::WsaETimedOut;
        pollFd(lookup->done.fd(), POLLIN,
               static_cast<int>(std::min<qint64>(kPumpMs, deadline.remainingTime())));
        pumpEvents();
        if (m_bCancel)
            return -1;
    }
    if (lookup->eai != 0) {
        qCDebug(lcNet, "cannot resolve \"%s\": %s", name.constData(), ::gai_strerror(lookup->eai));
        return SocketErrors::codeFromResolver(lookup->eai, lookup->err);
    }
    addr = lookup->addr;
    return 0;
}

int CNetPort::Connect(const in_addr &addr, unsigned port, bool tcp, const QDeadlineTimer &deadline)
{
    const int fd
        = ::socket(AF_INET, (tcp ? SOCK_STREAM : SOCK_DGRAM) | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return SocketErrors::codeFromErrno(errno);
    auto fail = [fd](int err) {
        ::close(fd);
        return SocketErrors::codeFromErrno(err);
    };

    // A UDP link sends from and listens on the configured port itself.
    if (!tcp) {
        allowAddressReuse(fd);
        if (bindAny(fd, port) != 0)
            return fail(errno);
    }
    const sockaddr_in remote = ipv4Address(addr, port);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&remote), sizeof remote) != 0) {
        const int err = errno;
        if (err != EINPROGRESS && err != EINTR)
            return fail(err);
        // A connect to an unreachable host takes minutes on Linux: wait for it
        // with the window alive and give up at the deadline.
        while (pollFd(fd, POLLOUT,
                      static_cast<int>(std::min<qint64>(kPumpMs, deadline.remainingTime())))
               == 0) {
            pumpEvents();
            if (m_bCancel) {
                ::close(fd);
                return -1;
            }
            if (deadline.hasExpired())
                return fail(ETIMEDOUT);
        }
        int soError = 0;
        socklen_t len = sizeof soError;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len) != 0)
            soError = errno;
        if (soError != 0)
            return fail(soError);
    }
    if (tcp && connectedToItself(fd))
        return fail(ECONNREFUSED);
    if (tcp)
        keepAlive(fd);
    m_pSocket = fd;
    qCDebug(lcNet, "%s link to %s:%u", tcp ? "TCP" : "UDP", qPrintable(dottedText(addr)), port);
    return 0;
}

CNetPort::WaitResult CNetPort::WaitForPeer(unsigned port, bool tcp, in_addr &peer)
{
    int ls = tcp && m_nListenPort == port ? m_pListenSocket : -1;
    if (ls < 0) {
        ls = ::socket(AF_INET, (tcp ? SOCK_STREAM : SOCK_DGRAM) | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (ls < 0) {
            ShowConnectError(SocketErrors::codeFromErrno(errno));
            return WaitResult::Failed;
        }
        allowAddressReuse(ls);
        // A port that is in use would otherwise leave the user waiting for a
        // connection that can never come.
        if (bindAny(ls, port) != 0 || (tcp && ::listen(ls, 5) != 0)) {
            const int err = errno;
            ::close(ls);
            qCDebug(lcNet, "cannot listen on port %u: errno %d", port, err);
            ShowConnectError(SocketErrors::codeFromErrno(err));
            return WaitResult::Failed;
        }
        m_pListenSocket = ls;
        m_nListenPort = tcp ? port : 0;
    }
    m_bCancel = 0;

    WaitShown shown(m_wait, tcp ? kTcp : kUdp, &m_bCancel);

    std::vector<std::uint8_t> datagram(tcp ? 0 : kReadChunk);
    for (;;) {
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        if (tcp) {
            const int fd = ::accept4(ls, reinterpret_cast<sockaddr *>(&from), &fromLen,
                                     SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd >= 0) {
                keepAlive(fd);
                m_pSocket = fd;
                peer = from.sin_addr;
                ReportPeer(peer);
                return WaitResult::Peer;
            }
        } else {
            // Taken, not peeked: the socket stays and becomes the data socket,
            // so the datagrams that came with this one are read after it.
            // An empty datagram is no peer.
            const ssize_t n = ::recvfrom(ls, datagram.data(), datagram.size(), 0,
                                         reinterpret_cast<sockaddr *>(&from), &fromLen);
            if (n > 0) {
                QueueReceivedBlock(datagram.data(), static_cast<std::uint32_t>(n));
                peer = from.sin_addr;
                ReportPeer(peer);
                m_strAddress = dottedText(peer);
                m_pSocket = ls;
                m_pListenSocket = -1;
                m_bUdpServer = true;
                return WaitResult::Peer;
            }
        }

        pumpEvents();
        if (m_bCancel || m_pListenSocket != ls) {
            shown.release();
            if (m_pListenSocket == ls)
                CloseListener();
            qCDebug(lcNet, "wait for a peer cancelled");
            return WaitResult::Cancelled;
        }
        pollFd(ls, POLLIN, kPumpMs);
    }
}

void CNetPort::ReportPeer(const in_addr &addr)
{
    const QString text = dottedText(addr);
    qCDebug(lcNet, "peer %s", qPrintable(text));
    if (m_peerSink)
        m_peerSink(text);
}

void CNetPort::ShowConnectError(int code)
{
    m_nLastOpenError = code;
    uiServices().messageBox(connectMessage(code), QString(), UiServices::Icon::Information);
}

void CNetPort::ShowWriteError(const QString &text)
{
    qCDebug(lcNet, "%s", qPrintable(text));
    // The writer never waits for the user: the box is shown by the
    // user-interface thread, one at a time; failures while one is pending
    // (a dead link fails every block) add no further boxes.
    const std::shared_ptr<WriteMessage> message = m_writeMessage;
    std::lock_guard lock(message->mutex);
    if (message->pending || !QCoreApplication::instance())
        return;
    message->pending = true;
    // Posted under the lock, which the call takes before it reads the text:
    // that orders the hand-over between the threads (also for ThreadSanitizer,
    // which does not see inside Qt's event queue).
    QMetaObject::invokeMethod(
        qApp,
        [message, text] {
            {
                std::lock_guard handedOver(message->mutex);
            }
            uiServices().messageBox(text, QString(), UiServices::Icon::Information);
            std::lock_guard shown(message->mutex);
            message->pending = false;
        },
        Qt::QueuedConnection);
}

bool CNetPort::PauseForSend(int fd, int &elapsedMs)
{
    QElapsedTimer timer;
    timer.start();
    bool stopped = false;
    pollWithStop(fd, POLLOUT, *m_hStopEvent, kSendPauseMs, stopped);
    elapsedMs += std::max<int>(1, static_cast<int>(timer.elapsed()));
    return !stopped;
}

ssize_t CNetPort::SendSome(int fd, const std::uint8_t *data, std::size_t length)
{
    if (!m_bUdpServer)
        return ::send(fd, data, length, MSG_NOSIGNAL);
    in_addr host{};
    host.s_addr = m_remoteAddr;
    const sockaddr_in to = ipv4Address(host, m_nPort);
    return ::sendto(fd, data, length, MSG_NOSIGNAL, reinterpret_cast<const sockaddr *>(&to),
                    sizeof to);
}

bool CNetPort::WriteBlock(const std::uint8_t *data, std::uint32_t length)
{
    const std::size_t end = length;
    return WriteRun(TxRun{{data, length}, {&end, 1}}) == 1;
}

std::size_t CNetPort::WriteRun(TxRun blocks)
{
    const int fd = m_pSocket;
    if (fd < 0)
        return blocks.size();
    const int limitMs = m_nTimeoutSec * 1000;
    // Only the pauses count, and only those of the block under way.
    int elapsedMs = 0;
    CWriteCursor cursor(blocks);
    // The rest of the block under way is dropped; the link stays up for the next.
    const auto giveUpBlock = [&](const QString &text) {
        ShowWriteError(text);
        BlocksDone(cursor.skipBlock());
        elapsedMs = 0;
    };
    while (!cursor.atEnd()) {
        // A UDP block is a datagram of its own; a TCP stream takes what it can.
        const std::size_t offered = m_bTcp ? cursor.left() : cursor.leftInBlock();
        const ssize_t n = SendSome(fd, cursor.data(), offered);
        if (n >= 0) {
            if (const std::size_t finished = cursor.advance(static_cast<std::size_t>(n))) {
                BlocksDone(finished);
                elapsedMs = 0;
            }
            if (static_cast<std::size_t>(n) >= offered)
                continue;
            // A stop abandons the rest without a message.
            if (!PauseForSend(fd, elapsedMs))
                break;
            if (elapsedMs > limitMs)
                giveUpBlock(
                    QCoreApplication::translate("CNetPort", "Error writing to port (timeout)!"));
            continue;
        }
        const int err = errno;
        if (err == EAGAIN || err == EWOULDBLOCK || err == EINTR) {
            if (!PauseForSend(fd, elapsedMs))
                break;
            if (elapsedMs > limitMs)
                giveUpBlock(
                    QCoreApplication::translate("CNetPort", "Error writing to port (blocking)!"));
            continue;
        }
        if (m_bTcp && connectionGone(err)) {
            // The peer left: the reader sees it as well and reports it; this
            // block and the rest of the queue count as not sent.
            qCDebug(lcNet, "send: connection lost (errno %d)", err);
            SetLinkState(LinkState::Lost, IsTcpClient());
            return cursor.block();
        }
        giveUpBlock(
            QCoreApplication::translate("CNetPort", "Error writing to port (socket error: %1)!")
                .arg(SocketErrors::writeErrorName(SocketErrors::codeFromErrno(err))));
    }
    return blocks.size();
}

void CNetPort::ReaderLoop(std::uint8_t *buffer)
{
    for (;;) {
        if (!IsLinkUp() && IsTcpClient()) {
            if (!Reconnect())
                return;
            continue;
        }
        const int fd = m_pSocket;
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t r = m_bUdpServer ? ::recvfrom(fd, buffer, m_nReadChunk, 0,
                                                    reinterpret_cast<sockaddr *>(&from), &fromLen)
                                       : ::recv(fd, buffer, m_nReadChunk, 0);
        const int err = r < 0 ? errno : 0;
        // For UDP, 0 bytes are an empty datagram, not the end.
        if (r > 0 || (r == 0 && !m_bTcp)) {
            if (r > 0 && (!m_bUdpServer || from.sin_addr.s_addr == m_remoteAddr))
                AppendReceived(buffer, static_cast<std::uint32_t>(r));
            else if (r > 0 && !m_strangerReported.exchange(true))
                qCDebug(lcNet, "datagrams from %s are not shown",
                        qPrintable(dottedText(from.sin_addr)));
            if (StopRequested())
                return;
            continue;
        }
        const bool idle = r < 0 && (err == EAGAIN || err == EWOULDBLOCK || err == EINTR);
        if (!idle && m_bTcp) {
            OnConnectionGone(r, err);
            if (IsTcpClient())
                continue;
        }
        bool stopped = false;
        if (idle)
            pollWithStop(fd, POLLIN, *m_hStopEvent, -1, stopped);
        else // a closed or failed socket stays readable: poll at the idle pace
            stopped = m_hStopEvent->wait(kReaderIdleMs);
        if (stopped)
            return;
    }
}

void CNetPort::OnConnectionGone(ssize_t r, int err)
{
    if (IsTcpClient()) {
        qCDebug(lcNet, "connection lost (%s %d)", r == 0 ? "closed by peer" : "errno", err);
        DropLink([this] { CloseDataSocket(); });
        return;
    }
    // The server reports its lost peer once; the controller then waits for
    // the next one.
    if (m_bLinkLost.exchange(1) == 0) {
        qCDebug(lcNet, "connection lost (%s %d)", r == 0 ? "closed by peer" : "errno", err);
        SetLinkState(LinkState::Lost, false);
        postPortNotify(PortNotifyCode::NetLinkLost);
    }
}

bool CNetPort::Reconnect()
{
    // The writer may have seen the loss first.
    if (m_pSocket >= 0)
        DropLink([this] { CloseDataSocket(); });
    // Not sooner than one interval after the last connect, so that a peer
    // that drops every connection at once is not called without a pause.
    const std::int64_t wait = std::clamp<std::int64_t>(
        m_lastConnectMs + m_reconnectIntervalMs - nowMs(), 0, m_reconnectIntervalMs);
    if (m_hStopEvent->wait(static_cast<int>(wait)))
        return false;
    SetLinkState(LinkState::Reconnecting);
    m_lastConnectMs = nowMs();

    in_addr host{};
    host.s_addr = m_remoteAddr;
    const sockaddr_in remote = ipv4Address(host, m_nPort);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return true; // tried again after the interval
    int err = 0;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&remote), sizeof remote) != 0) {
        err = errno;
        if (err == EINPROGRESS || err == EINTR) {
            bool stopped = false;
            const short revents
                = pollWithStop(fd, POLLOUT, *m_hStopEvent, m_connectTimeoutMs, stopped);
            if (stopped) {
                ::close(fd);
                return false;
            }
            socklen_t len = sizeof err;
            if (revents == 0)
                err = ETIMEDOUT;
            else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0)
                err = errno;
        }
    }
    if (err == 0 && connectedToItself(fd))
        err = ECONNREFUSED;
    if (err != 0) {
        ::close(fd);
        qCDebug(lcNet, "reconnect to %s:%u: %s", qPrintable(dottedText(host)), m_nPort,
                std::strerror(err));
        return true;
    }
    keepAlive(fd);
    RestoreLink([this, fd] {
        m_pSocket = fd;
        return true;
    });
    qCDebug(lcNet, "TCP link to %s:%u again", qPrintable(dottedText(host)), m_nPort);
    return true;
}

void CNetPort::CloseDataSocket()
{
    const int fd = m_pSocket.exchange(-1);
    if (fd >= 0) {
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
    }
}

void CNetPort::CloseListener()
{
    if (m_pListenSocket >= 0)
        ::close(m_pListenSocket);
    m_pListenSocket = -1;
    m_nListenPort = 0;
}

bool CNetPort::CloseKeepingListener()
{
    m_bKeepListener = m_bTcp && m_strAddress.isEmpty();
    Close();
    m_bKeepListener = false;
    return true;
}

void CNetPort::TeardownLink()
{
    // Also ends a wait of Open that an event handler interrupted with Close.
    m_bCancel = 1;
    CloseDataSocket();
    if (!m_bKeepListener)
        CloseListener();
    m_bUdpServer = false;
}
