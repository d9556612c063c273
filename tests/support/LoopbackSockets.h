#pragma once

// Sockets on the loopback network for tests that play a network peer. The
// loopback network has a whole /8, so a peer can sit on its own address
// (127.0.0.2) with the same port number.

// A descriptor closed when it goes.
struct Fd
{
    int fd = -1;
    ~Fd() { reset(); }
    void reset(int f = -1);
};

// A socket bound to ip:port; a stream socket also listens.
int boundSocket(int type, const char *ip, unsigned port, bool reuse = false);
// A stream socket bound to ip (any port) that does not listen: a client
// that connects from that address.
int clientSocket(const char *ip);
unsigned localPort(int fd);
// A port number nobody uses right now, on every local address.
unsigned freePort(int type);
bool connectTo(int fd, const char *ip, unsigned port);
