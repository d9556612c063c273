// printer-sim: plays an r+k printer at the far end of a TCP link or a
// pseudo-terminal, so the terminal's file exchange can be tried without one.
#include "PrinterSession.h"
#include "SimPty.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

void usage(std::FILE *to)
{
    std::fputs(
        "usage: printer-sim (--tcp PORT [--bind ADDRESS] | --pty) [options]\n"
        "\n"
        "Plays an r+k printer: files sent with \"#T=NAME,SIZE,CRC*\" are stored in the\n"
        "folder (their CRC-32 checked), \"#G=NAME*\" is answered with the header and\n"
        "the bytes of that file from the folder.\n"
        "\n"
        "  --tcp PORT        listen on this TCP port (0: any free one); one client at a time\n"
        "  --bind ADDRESS    the address to listen on (default 127.0.0.1)\n"
        "  --pty             serve the master side of a new pseudo-terminal; the terminal\n"
        "                    opens the printed slave path as its serial device\n"
        "  --dir FOLDER      where files are stored and served from (default .)\n"
        "  --block N         send answers in blocks of N bytes\n"
        "  --block-delay MS  pause between those blocks (default 0)\n"
        "  --bad-crc         announce a wrong CRC-32 in answers\n"
        "  --record FILE     append every byte received to FILE\n"
        "\n"
        "It prints what it does, one line per event: \"listening on 127.0.0.1:PORT\" or\n"
        "\"pty PATH\" first, then \"stored NAME (...)\", \"sent NAME (...)\", \"text: ...\".\n",
        to);
}

bool writeAll(int fd, const std::uint8_t *data, std::size_t length, bool socket)
{
    while (length > 0) {
        const ssize_t n
            = socket ? ::send(fd, data, length, MSG_NOSIGNAL) : ::write(fd, data, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN) {
                pollfd p{fd, POLLOUT, 0};
                ::poll(&p, 1, 1000);
                continue;
            }
            return false;
        }
        data += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

struct Recorder
{
    std::FILE *file = nullptr;
    void take(const std::uint8_t *data, std::size_t n)
    {
        if (file) {
            std::fwrite(data, 1, n, file);
            std::fflush(file);
        }
    }
};

// Reads from `fd` into the session until the link ends (false) or fails.
void serve(int fd, bool socket, PrinterSession &session, Recorder &recorder)
{
    std::vector<std::uint8_t> buffer(256 * 1024);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n > 0) {
            recorder.take(buffer.data(), static_cast<std::size_t>(n));
            session.feed(buffer.data(), static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLIN, 0};
            ::poll(&p, 1, -1);
            continue;
        }
        // A pty master reads EIO while no one has the slave open; that is no end.
        if (!socket && n < 0 && errno == EIO) {
            ::usleep(50 * 1000);
            continue;
        }
        return;
    }
}

int runTcp(int port, const std::string &address, PrinterSession::Options options,
           Recorder &recorder)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1) {
        std::fprintf(stderr, "printer-sim: %s is no IPv4 address\n", address.c_str());
        return 2;
    }
    if (::bind(listener, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
        || ::listen(listener, 1) != 0) {
        std::fprintf(stderr, "printer-sim: cannot listen on %s:%d: %s\n", address.c_str(), port,
                     std::strerror(errno));
        return 1;
    }
    socklen_t len = sizeof addr;
    ::getsockname(listener, reinterpret_cast<sockaddr *>(&addr), &len);
    std::printf("listening on %s:%u\n", address.c_str(), ntohs(addr.sin_port));
    std::fflush(stdout);
    for (;;) {
        const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            if (errno == EINTR)
                continue;
            std::fprintf(stderr, "printer-sim: accept: %s\n", std::strerror(errno));
            return 1;
        }
        // Small answer blocks go out at once, each on its own.
        ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::printf("connected\n");
        std::fflush(stdout);
        PrinterSession session(
            options,
            [client](const std::uint8_t *d, std::size_t n) { return writeAll(client, d, n, true); },
            stdout);
        serve(client, true, session, recorder);
        session.reset();
        ::close(client);
        std::printf("disconnected\n");
        std::fflush(stdout);
    }
}

int runPty(PrinterSession::Options options, Recorder &recorder)
{
    SimPty pty;
    if (std::string failed; !pty.open(false, {}, failed)) {
        std::fprintf(stderr, "printer-sim: %s: %s\n", failed.c_str(), std::strerror(errno));
        return 1;
    }
    const int master = pty.master;
    std::printf("pty %s\n", pty.path.c_str());
    std::fflush(stdout);
    PrinterSession session(
        options,
        [master](const std::uint8_t *d, std::size_t n) { return writeAll(master, d, n, false); },
        stdout);
    serve(master, false, session, recorder);
    return 0;
}

bool takeNumber(const char *text, long &value)
{
    char *end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && value >= 0;
}

} // namespace

int main(int argc, char **argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    PrinterSession::Options options;
    long tcpPort = -1;
    bool pty = false;
    std::string bindAddress = "127.0.0.1";
    Recorder recorder;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long number = 0;
        if (arg == "--tcp" && hasValue && takeNumber(argv[i + 1], number) && number <= 65535) {
            tcpPort = number;
            ++i;
        } else if (arg == "--bind" && hasValue) {
            bindAddress = argv[++i];
        } else if (arg == "--pty") {
            pty = true;
        } else if (arg == "--dir" && hasValue) {
            options.folder = argv[++i];
        } else if (arg == "--block" && hasValue && takeNumber(argv[i + 1], number)) {
            options.answerBlock = static_cast<std::size_t>(number);
            ++i;
        } else if (arg == "--block-delay" && hasValue && takeNumber(argv[i + 1], number)) {
            options.blockDelayMs = static_cast<int>(number);
            ++i;
        } else if (arg == "--bad-crc") {
            options.badCrc = true;
        } else if (arg == "--record" && hasValue) {
            recorder.file = std::fopen(argv[++i], "ab");
            if (!recorder.file) {
                std::fprintf(stderr, "printer-sim: %s: %s\n", argv[i], std::strerror(errno));
                return 1;
            }
        } else if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else {
            std::fprintf(stderr, "printer-sim: unexpected argument: %s\n\n", arg.c_str());
            usage(stderr);
            return 2;
        }
    }
    if (pty == (tcpPort >= 0)) {
        usage(stderr);
        return 2;
    }
    return pty ? runPty(options, recorder)
               : runTcp(static_cast<int>(tcpPort), bindAddress, options, recorder);
}
