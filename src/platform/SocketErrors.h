#pragma once

#include <QString>

// Socket errors are reported by their Winsock names and numbers, the ones
// technicians know from device manuals and Windows tools. Linux errno values
// (and resolver failures) are first mapped to the equivalent Winsock code.
namespace SocketErrors {

enum : int {
    WsaEInval = 10022,
    WsaETimedOut = 10060,
    WsaHostNotFound = 11001,
    WsaTryAgain = 11002,
    WsaNoRecovery = 11003,
};

// The Winsock code for an errno value; a value without an equivalent is
// returned unchanged.
int codeFromErrno(int err);
// The Winsock code for a getaddrinfo() result; `err` is errno for EAI_SYSTEM.
int codeFromResolver(int eai, int err);

// The name for the connect message, or the decimal code for a code outside
// that list.
QString connectErrorName(int code);
// The name for the write message, or empty for a code outside that list.
QString writeErrorName(int code);

} // namespace SocketErrors
