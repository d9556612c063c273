#include "NetPort.h"

#include "display/ReceivedBlockQueue.h"
#include "platform/Logging.h"
#include "platform/PortNotify.h"
#include "platform/SocketErrors.h"
#include "platform/UiServices.h"
#include "ports/ConnectWaitDlg.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <thread>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// How long Open sleeps on its socket between two turns of the event loop.
constexpr int kPumpMs = 50;
constexpr int kReaderIdleMs = 100;
constexpr int kSendPauseMs = 100;
constexpr std::size_t kPeekBytes = 2048;

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

// Disables the owner window while Open waits, so that no command reaches the
// port in the middle of it; the window keeps painting.
class WindowLock
{
public:
    WindowLock(QWidget *window, bool busyCursor)
        : m_window(window)
        , m_reenable(window && window->isEnabled())
        , m_cursor(busyCursor)
    {
        if (m_window)
            m_window->setEnabled(false);
        if (m_cursor)
            QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    }
    ~WindowLock() { release(); }
    WindowLock(const WindowLock &) = delete;
    WindowLock &operator=(const WindowLock &) = delete;

    void release()
    {
        if (m_cursor)
            QGuiApplication::restoreOverrideCursor();
        m_cursor = false;
        if (m_window && m_reenable) {
            m_window->setEnabled(true);
            m_window->activateWindow();
        }
        m_window = nullptr;
    }

private:
    QPointer<QWidget> m_window;
    bool m_reenable;
    bool m_cursor;
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

void CNetPort::SetMainWindow(QWidget *window)
{
    m_mainWindow = window;
}

QWidget *CNetPort::OwnerWindow() const
{
    return m_mainWindow ? m_mainWindow.data() : QApplication::activeWindow();
}

bool CNetPort::Open(const QString &address, unsigned port, int timeoutSec, int socketType)
{
    if (m_bWriterRunning || IsStarted() || m_opening)
        return false;
    m_opening = true;
    const auto done = qScopeGuard([this] { m_opening = false; });

    // Sockets of an earlier Open that was never closed.
    TeardownLink();
    m_strAddress = address;
    m_nTimeoutSec = timeoutSec;
    m_nRxBufferSize = 4096;
    m_nReadChunk = 2048;
    m_bLinkLost = 0;
    m_nBlocksWritten = 0;
    m_bCancel = 0;
    m_nLastOpenError = 0;
    const bool tcp = socketType == kTcp;

    if (port == 0 || port > 65535) {
        qCDebug(lcNet, "port number %u out of range", port);
        ShowConnectError(SocketErrors::WsaEInval);
        return false;
    }

    in_addr remote{};
    int code = 0;
    if (address.isEmpty()) {
        switch (WaitForPeer(port, tcp, remote)) {
        case WaitResult::Failed:
        case WaitResult::Cancelled:
            return false;
        case WaitResult::Peer:
            break;
        }
        if (tcp)
            return true;
        // UDP server: from now on a peer like any other, at the configured port.
        code = Connect(remote, port, false, QDeadlineTimer(m_connectTimeoutMs));
    } else {
        WindowLock lock(OwnerWindow(), true);
        const QDeadlineTimer deadline(m_connectTimeoutMs);
        code = Resolve(address, remote, deadline);
        if (code == 0)
            code = Connect(remote, port, tcp, deadline);
    }
    // Shown once the window is enabled again, so that the box is usable.
    if (code > 0)
        ShowConnectError(code);
    return code == 0;
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
    m_pSocket = fd;
    qCDebug(lcNet, "%s link to %s:%u", tcp ? "TCP" : "UDP", qPrintable(dottedText(addr)), port);
    return 0;
}

CNetPort::WaitResult CNetPort::WaitForPeer(unsigned port, bool tcp, in_addr &peer)
{
    const int ls
        = ::socket(AF_INET, (tcp ? SOCK_STREAM : SOCK_DGRAM) | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
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
    m_bCancel = 0;

    QWidget *owner = OwnerWindow();
    WindowLock lock(owner, false);
    QPointer<CConnectWaitDlg> dialog = new CConnectWaitDlg(&m_bCancel, tcp ? kTcp : kUdp, owner);
    // Its own window: disabling the owner must not reach it.
    dialog->setEnabled(true);
    dialog->show();
    const auto closeDialog = qScopeGuard([&dialog] { delete dialog.data(); });

    std::uint8_t datagram[kPeekBytes];
    for (;;) {
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        if (tcp) {
            const int fd = ::accept4(ls, reinterpret_cast<sockaddr *>(&from), &fromLen,
                                     SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd >= 0) {
                m_pSocket = fd;
                peer = from.sin_addr;
                ReportPeer(peer);
                return WaitResult::Peer;
            }
        } else {
            // Peeked, so that the datagram stays queued until the socket goes.
            const ssize_t n = ::recvfrom(ls, datagram, sizeof datagram, MSG_PEEK,
                                         reinterpret_cast<sockaddr *>(&from), &fromLen);
            if (n > 0) {
                QueueReceivedBlock(datagram, static_cast<std::uint32_t>(n));
                peer = from.sin_addr;
                ReportPeer(peer);
                m_strAddress = dottedText(peer);
                ::close(ls);
                m_pListenSocket = -1;
                return WaitResult::Peer;
            }
            // An empty datagram would stay at the head of the queue and hide
            // every later one.
            if (n == 0)
                ::recv(ls, datagram, sizeof datagram, 0);
        }

        pumpEvents();
        if (m_bCancel || m_pListenSocket != ls) {
            lock.release();
            if (m_pListenSocket == ls) {
                ::close(ls);
                m_pListenSocket = -1;
            }
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

bool CNetPort::WriteBlock(const std::uint8_t *data, std::uint32_t length)
{
    const int fd = m_pSocket;
    if (fd < 0)
        return true;
    const int limitMs = m_nTimeoutSec * 1000;
    int elapsedMs = 0;
    std::size_t left = length;
    for (;;) {
        const ssize_t n = ::send(fd, data, left, MSG_NOSIGNAL);
        if (n >= 0) {
            if (static_cast<std::size_t>(n) >= left)
                return true;
            data += n;
            left -= static_cast<std::size_t>(n);
            // A stop abandons the rest of the block without a message.
            if (!PauseForSend(fd, elapsedMs))
                return true;
            if (elapsedMs > limitMs) {
                ShowWriteError(
                    QCoreApplication::translate("CNetPort", "Error writing to port (timeout)!"));
                return true;
            }
            continue;
        }
        const int err = errno;
        if (err == EAGAIN || err == EWOULDBLOCK || err == EINTR) {
            if (!PauseForSend(fd, elapsedMs))
                return true;
            if (elapsedMs > limitMs) {
                ShowWriteError(
                    QCoreApplication::translate("CNetPort", "Error writing to port (blocking)!"));
                return true;
            }
            continue;
        }
        // The rest of this block is dropped; the link stays up for the next.
        ShowWriteError(
            QCoreApplication::translate("CNetPort", "Error writing to port (socket error: %1)!")
                .arg(SocketErrors::writeErrorName(SocketErrors::codeFromErrno(err))));
        return true;
    }
}

void CNetPort::ReaderLoop(std::uint8_t *buffer)
{
    const int fd = m_pSocket;
    for (;;) {
        const ssize_t r = ::recv(fd, buffer, m_nReadChunk, 0);
        if (r > 0) {
            AppendReceived(buffer, static_cast<std::uint32_t>(r));
            if (StopRequested())
                return;
            continue;
        }
        const int err = r < 0 ? errno : 0;
        const bool idle = r < 0 && (err == EAGAIN || err == EWOULDBLOCK || err == EINTR);
        // Only a server reports its lost peer, once: the controller then
        // waits for the next connection. Clients and UDP links keep polling.
        if (!idle && m_pListenSocket >= 0 && m_bLinkLost.exchange(1) == 0) {
            qCDebug(lcNet, "connection lost (%s %d)", r == 0 ? "closed by peer" : "errno", err);
            postPortNotify(1);
        }
        bool stopped = false;
        if (idle)
            pollWithStop(fd, POLLIN, *m_hStopEvent, kReaderIdleMs, stopped);
        else // a closed or failed socket stays readable: poll at the idle pace
            stopped = m_hStopEvent->wait(kReaderIdleMs);
        if (stopped)
            return;
    }
}

void CNetPort::TeardownLink()
{
    // Also ends a wait of Open that an event handler interrupted with Close.
    m_bCancel = 1;
    if (m_pSocket >= 0) {
        ::shutdown(m_pSocket, SHUT_RDWR);
        ::close(m_pSocket);
        m_pSocket = -1;
    }
    if (m_pListenSocket >= 0) {
        ::close(m_pListenSocket);
        m_pListenSocket = -1;
    }
}
