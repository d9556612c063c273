#include "LoopbackSockets.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
sockaddr_in address(const char *ip, unsigned port)
{
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, ip, &sa.sin_addr);
    return sa;
}

int bound(int type, const char *ip, unsigned port, bool reuse)
{
    const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (reuse)
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const sockaddr_in sa = address(ip, port);
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr *>(&sa), sizeof sa), 0) << errno;
    return fd;
}
} // namespace

void Fd::reset(int f)
{
    if (fd >= 0)
        ::close(fd);
    fd = f;
}

int boundSocket(int type, const char *ip, unsigned port, bool reuse)
{
    const int fd = bound(type, ip, port, reuse);
    if (type == SOCK_STREAM)
        ::listen(fd, 0);
    return fd;
}

int clientSocket(const char *ip)
{
    return bound(SOCK_STREAM, ip, 0, false);
}

unsigned localPort(int fd)
{
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&sa), &len);
    return ntohs(sa.sin_port);
}

unsigned freePort(int type)
{
    Fd probe{boundSocket(type, "0.0.0.0", 0)};
    return localPort(probe.fd);
}

bool connectTo(int fd, const char *ip, unsigned port)
{
    const sockaddr_in sa = address(ip, port);
    return ::connect(fd, reinterpret_cast<const sockaddr *>(&sa), sizeof sa) == 0;
}
