// orba-demo-device: a chatty room controller at the far end of a
// pseudo-terminal, for trying the terminal without hardware (scripts/demo).
// It answers commands, sends a reading every few seconds, plays an r+k printer
// for the file exchange and a media gateway for the gateway dialog, and
// answers Modbus RTU requests as unit 1.
#include "DemoDevice.h"
#include "SimPty.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void usage(std::FILE *to)
{
    std::fputs("usage: orba-demo-device --pty [--link PATH] [--dir FOLDER] [--interval-ms N]\n"
               "                        [--alive-every N]\n"
               "\n"
               "Plays a room controller on a new pseudo-terminal: it answers the framed commands\n"
               "HELP, VER, READ, STATUS, LIGHT ON, LIGHT OFF, SET 22.5 and ALIVE, sends a reading\n"
               "every few seconds and asks \"ALIVE?\" now and then. It also plays an r+k printer\n"
               "(\"#T=\", \"#G=\": files stored in and served from FOLDER) and a media gateway\n"
               "(each command is answered with the gateway's verdict, \"GW ok OD+\"), and it is\n"
               "Modbus RTU unit 1: function 3 or 4 reads registers 0-4 (temperature x10,\n"
               "humidity, CO2, setpoint x10, light), function 6 writes 3 or 4.\n"
               "\n"
               "  --pty             required: make the pseudo-terminal and print \"pty PATH\"\n"
               "  --link PATH       also make PATH a symbolic link to it\n"
               "  --dir FOLDER      the printer's folder (default .)\n"
               "  --interval-ms N   time between readings (default 3000)\n"
               "  --alive-every N   ask \"ALIVE?\" after every N readings (default 4, 0: never)\n",
               to);
}

// Waits at most this long for the terminal to take bytes; a line nobody reads
// loses them, as a real device's would.
constexpr int kStallMs = 2000;

bool writeAll(int fd, const std::uint8_t *data, std::size_t length)
{
    while (length > 0) {
        const ssize_t n = ::write(fd, data, length);
        if (n > 0) {
            data += n;
            length -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return false;
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, kStallMs) <= 0 || stopRequested())
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    bool wantPty = false;
    std::string link;
    DemoDevice::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--pty") {
            wantPty = true;
        } else if (arg == "--link" && hasValue) {
            link = argv[++i];
        } else if (arg == "--dir" && hasValue) {
            options.printerFolder = argv[++i];
        } else if (arg == "--interval-ms" && hasValue) {
            options.readingInterval = std::chrono::milliseconds(std::max(50, std::atoi(argv[++i])));
        } else if (arg == "--alive-every" && hasValue) {
            options.aliveEvery = std::max(0, std::atoi(argv[++i]));
        } else if (arg == "--help") {
            usage(stdout);
            return 0;
        } else {
            usage(stderr);
            return 2;
        }
    }
    if (!wantPty) {
        usage(stderr);
        return 2;
    }

    catchStopSignals();

    SimPty pty;
    if (std::string failed; !pty.open(true, link, failed)) {
        std::fprintf(stderr, "orba-demo-device: %s: %s\n", failed.c_str(), std::strerror(errno));
        return 1;
    }
    const int master = pty.master;
    std::printf("pty %s\n", pty.path.c_str());
    std::fflush(stdout);

    DemoDevice device(
        options,
        [master](const std::uint8_t *data, std::size_t n) { return writeAll(master, data, n); },
        stdout);
    std::uint8_t buffer[4096];
    int status = 0;
    while (!stopRequested()) {
        const auto wait = device.tick(DemoDevice::Clock::now());
        pollfd p{master, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(std::max<long long>(1, wait.count())));
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            status = 1;
            break;
        }
        if (ready == 0 || !(p.revents & POLLIN))
            continue;
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got > 0)
            device.feed(buffer, static_cast<std::size_t>(got));
        else if (got < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
            status = 1;
            break;
        }
    }
    return status;
}
