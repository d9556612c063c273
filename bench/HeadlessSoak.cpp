// A capture without a window left running: the program, started as a user
// starts it (--headless --tcp ... --log FILE --timestamps, no display), is fed
// numbered text lines at a steady rate by a TCP peer in this process, for
// ten minutes by default. Once a minute it prints the program's peak and
// current resident memory (VmHWM, VmRSS) and CPU time; at the end it ends the
// program with SIGTERM and checks its exit status and that the log holds
// every line sent, each behind its timestamp.
//
//   headless-soak [--seconds N] [--rate BYTES_PER_SECOND]
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// "VmHWM" or "VmRSS" of the process in KiB.
long statusKb(pid_t pid, const char *field)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(field, 0) == 0)
            return std::strtol(line.c_str() + std::strlen(field) + 1, nullptr, 10);
    return -1;
}

// User and system CPU seconds of the process.
double cpuSeconds(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string skip;
    for (int i = 3; i < 14; ++i) // fields 3 to 13
        fields >> skip;
    double user = 0, system = 0;
    fields >> user >> system;
    return (user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// Line n of the stream: about 70 printable characters and CR LF.
std::string line(unsigned long long n)
{
    char text[96];
    std::snprintf(text, sizeof text,
                  "%010llu T=21.%llu C RH=%02llu %% CO2=%04llu ppm status=OK room=%04llu\r\n", n,
                  n % 10, 30 + n % 40, 400 + n % 1000, n % 7919);
    return text;
}

// The log less the timestamp ("DD.MM.YYYY hh:mm:ss.mmm - ") at each line start.
std::string withoutTimestamps(const std::string &log, bool &wellFormed)
{
    constexpr std::size_t kStamp = 26;
    std::string text;
    text.reserve(log.size());
    wellFormed = true;
    for (std::size_t at = 0; at < log.size();) {
        wellFormed
            = wellFormed && log.compare(at + 2, 1, ".") == 0 && log.compare(at + 23, 3, " - ") == 0;
        const std::size_t end = log.find('\n', at + kStamp);
        const std::size_t next = end == std::string::npos ? log.size() : end + 1;
        text.append(log, at + kStamp, next - at - kStamp);
        at = next;
    }
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    int seconds = 600;
    long rate = 100'000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--rate") == 0)
            rate = std::atol(argv[i + 1]);
    }
    ::signal(SIGPIPE, SIG_IGN);
    char folder[] = "/tmp/headless-soak.XXXXXX";
    if (!::mkdtemp(folder))
        return 1;
    const std::string dir = folder, log = dir + "/soak.log", err = dir + "/soak.err";

    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    if (::bind(listener, reinterpret_cast<sockaddr *>(&sa), sizeof sa) != 0
        || ::listen(listener, 1) != 0
        || ::getsockname(listener, reinterpret_cast<sockaddr *>(&sa), &len) != 0)
        return 1;
    const std::string peer = "127.0.0.1:" + std::to_string(ntohs(sa.sin_port));

    const pid_t pid = ::fork();
    if (pid == 0) {
        const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(errFd, STDERR_FILENO);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("QT_QPA_PLATFORM");
        const std::string ini = dir + "/soak.ini";
        ::execl(ORBA_PROGRAM, ORBA_PROGRAM, "--ini", ini.c_str(), "--headless", "--tcp",
                peer.c_str(), "--log", log.c_str(), "--timestamps", static_cast<char *>(nullptr));
        ::_exit(127);
    }
    const int conn = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (conn < 0)
        return 1;

    std::printf("headless capture over TCP, %ld bytes/s for %d s, log with timestamps\n", rate,
                seconds);
    // Ten sends a second on a fixed schedule, so that a slow send does not
    // lower the rate.
    const auto start = Clock::now();
    unsigned long long lines = 0;
    long long sent = 0;
    std::string pending;
    for (int tick = 1; tick <= seconds * 10; ++tick) {
        while (static_cast<long long>(pending.size()) + sent < rate * tick / 10)
            pending += line(lines++);
        const ssize_t n = ::send(conn, pending.data(), pending.size(), MSG_NOSIGNAL);
        if (n < 0) {
            std::printf("send failed: %s\n", std::strerror(errno));
            break;
        }
        sent += n;
        pending.erase(0, static_cast<std::size_t>(n));
        if (tick % 600 == 0 || tick == 100)
            std::printf("t=%4d s  sent=%6.1f MB  VmHWM=%ld KiB  VmRSS=%ld KiB  cpu=%.1f s\n",
                        tick / 10, static_cast<double>(sent) / 1e6, statusKb(pid, "VmHWM"),
                        statusKb(pid, "VmRSS"), cpuSeconds(pid));
        std::fflush(stdout);
        std::this_thread::sleep_until(start + std::chrono::milliseconds(100 * tick));
    }
    const long hwm = statusKb(pid, "VmHWM");
    const double cpu = cpuSeconds(pid);
    // Every line sent begins with a timestamp in the log; the signal comes
    // once everything is in (or 10 s have passed).
    const long long stamps
        = static_cast<long long>(lines) - (pending.size() >= line(lines - 1).size() ? 1 : 0);
    const auto logSize = [&] {
        std::ifstream f(log, std::ios::binary | std::ios::ate);
        return f ? static_cast<long long>(f.tellg()) : 0LL;
    };
    for (int i = 0; i < 100 && logSize() < sent + 26 * stamps; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(conn);

    std::ifstream in(log, std::ios::binary);
    const std::string logged((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    std::string expected;
    for (unsigned long long n = 0; n < lines; ++n)
        expected += line(n);
    expected.resize(static_cast<std::size_t>(sent));
    bool stamped = false;
    const bool exact = withoutTimestamps(logged, stamped) == expected;
    std::printf("end: exit status %d, VmHWM=%ld KiB, cpu=%.1f s (%.2f %% of one core), "
                "sent=%lld bytes, log=%zu bytes, every line %s, timestamps %s\n",
                WIFEXITED(status) ? WEXITSTATUS(status) : -1, hwm, cpu, 100 * cpu / seconds, sent,
                logged.size(), exact ? "logged" : "NOT logged",
                stamped ? "well-formed" : "MALFORMED");
    std::printf("standard error: %s\n", err.c_str());
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && exact && stamped ? 0 : 1;
}
