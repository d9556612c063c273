// orba-gateway-sim: plays a media gateway at the far end of the terminal's
// link. It listens on a pseudo-terminal (the terminal opens its path as the
// serial device) or on TCP, checks every frame the terminal sends and prints
// what it made of it: one line per frame, then, whenever the line has been
// quiet for a moment after a change, the whole state.
#include "GatewayModel.h"
#include "SimPty.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

void usage()
{
    std::fputs(
        "usage: orba-gateway-sim (--pty [--link PATH] | --listen [HOST:]PORT | --connect "
        "HOST:PORT)\n"
        "                        [--erase-busy-ms N] [--idle-ms N] [--once]\n"
        "  --pty             make a pseudo-terminal and print its path (\"pty /dev/pts/N\");\n"
        "                    give that path to the terminal as its serial device\n"
        "  --link PATH       also make PATH a symbolic link to the pseudo-terminal\n"
        "  --listen          wait for the terminal as TCP client (port 0: any free port)\n"
        "  --connect         connect to the terminal as TCP server\n"
        "  --erase-busy-ms   how long the gateway is busy after ERASE! (default 1500);\n"
        "                    definitions arriving meanwhile are refused\n"
        "  --idle-ms         quiet time before the state is printed (default 150)\n"
        "  --once            end when the first TCP connection closes\n",
        stderr);
}

void print(const std::string &line)
{
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

bool splitHostPort(const std::string &address, std::string &host, std::string &port)
{
    const std::size_t colon = address.rfind(':');
    host = colon == std::string::npos ? "127.0.0.1" : address.substr(0, colon);
    port = colon == std::string::npos ? address : address.substr(colon + 1);
    return !port.empty();
}

int listenOn(const std::string &host, const std::string &port, std::string &where)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo *res = nullptr;
    if (getaddrinfo(host.c_str(), port.c_str(), &hints, &res) != 0)
        return -1;
    const int fd = socket(res->ai_family, res->ai_socktype | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const bool ok = fd >= 0 && bind(fd, res->ai_addr, res->ai_addrlen) == 0 && listen(fd, 1) == 0;
    freeaddrinfo(res);
    if (!ok)
        return -1;
    sockaddr_in bound{};
    socklen_t len = sizeof bound;
    getsockname(fd, reinterpret_cast<sockaddr *>(&bound), &len);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &bound.sin_addr, text, sizeof text);
    where = std::string(text) + ":" + std::to_string(ntohs(bound.sin_port));
    return fd;
}

int connectTo(const std::string &host, const std::string &port)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    // The terminal may still be starting its server: try for ten seconds.
    for (int attempt = 0; attempt < 50 && !stopRequested(); ++attempt) {
        addrinfo *res = nullptr;
        if (getaddrinfo(host.c_str(), port.c_str(), &hints, &res) == 0) {
            const int fd = socket(res->ai_family, res->ai_socktype | SOCK_CLOEXEC, 0);
            const bool ok = fd >= 0 && connect(fd, res->ai_addr, res->ai_addrlen) == 0;
            freeaddrinfo(res);
            if (ok)
                return fd;
            if (fd >= 0)
                close(fd);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return -1;
}

void printState(GatewayModel &model)
{
    for (const std::string &line : model.dump())
        print(line);
}

void report(GatewayModel &model)
{
    for (const std::string &line : model.takeReport())
        print(line);
}

// Reads `fd` until it closes or a signal ends the program; false on a read error.
bool serve(int fd, GatewayModel &model, int idleMs)
{
    char buffer[4096];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int n = poll(&p, 1, idleMs);
        if (stopRequested())
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) { // quiet: what arrived is complete
            model.flushStray();
            report(model);
            if (model.changedSinceDump())
                printState(model);
            continue;
        }
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got <= 0) {
            model.flushStray();
            report(model);
            if (model.changedSinceDump())
                printState(model);
            return got == 0;
        }
        model.feed(buffer, static_cast<std::size_t>(got), GatewayModel::Clock::now());
        report(model);
    }
}

} // namespace

int main(int argc, char **argv)
{
    enum { None, Pty, Listen, Connect } mode = None;
    std::string address, link;
    auto eraseBusy = GatewayModel::kEraseBusy;
    int idleMs = 150;
    bool once = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--pty") {
            mode = Pty;
        } else if (arg == "--listen" && hasValue) {
            mode = Listen;
            address = argv[++i];
        } else if (arg == "--connect" && hasValue) {
            mode = Connect;
            address = argv[++i];
        } else if (arg == "--link" && hasValue) {
            link = argv[++i];
        } else if (arg == "--erase-busy-ms" && hasValue) {
            eraseBusy = std::chrono::milliseconds(std::max(0, std::atoi(argv[++i])));
        } else if (arg == "--idle-ms" && hasValue) {
            idleMs = std::max(10, std::atoi(argv[++i]));
        } else if (arg == "--once") {
            once = true;
        } else {
            usage();
            return 2;
        }
    }
    if (mode == None) {
        usage();
        return 2;
    }

    catchStopSignals();

    GatewayModel model{eraseBusy};
    int status = 0;
    if (mode == Pty) {
        SimPty pty;
        if (std::string failed; !pty.open(false, link, failed)) {
            std::fprintf(stderr, "orba-gateway-sim: %s: %s\n", failed.c_str(),
                         std::strerror(errno));
            return 1;
        }
        print("pty " + pty.path);
        status = serve(pty.master, model, idleMs) ? 0 : 1;
    } else {
        std::string host, port;
        if (!splitHostPort(address, host, port)) {
            usage();
            return 2;
        }
        if (mode == Connect) {
            const int fd = connectTo(host, port);
            if (fd < 0) {
                std::fprintf(stderr, "orba-gateway-sim: cannot connect to %s\n", address.c_str());
                return 1;
            }
            print("connected " + host + ":" + port);
            status = serve(fd, model, idleMs) ? 0 : 1;
            close(fd);
            print("disconnected");
        } else {
            std::string where;
            const int server = listenOn(host, port, where);
            if (server < 0) {
                std::fprintf(stderr, "orba-gateway-sim: cannot listen on %s: %s\n", address.c_str(),
                             std::strerror(errno));
                return 1;
            }
            print("listening " + where);
            while (!stopRequested()) {
                pollfd p{server, POLLIN, 0};
                if (poll(&p, 1, 200) <= 0)
                    continue;
                const int fd = accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
                if (fd < 0)
                    continue;
                print("connected");
                serve(fd, model, idleMs);
                close(fd);
                print("disconnected");
                if (once)
                    break;
            }
            close(server);
        }
    }
    // What the gateway holds at the end, changed or not.
    report(model);
    printState(model);
    return status;
}
