#include "SocketErrors.h"

#include <cerrno>
#include <iterator>
#include <netdb.h>

namespace SocketErrors {
namespace {

struct ErrnoCode
{
    int err;
    int code;
};

// errno → Winsock. EPIPE is what Linux reports for a send on a connection
// the peer has reset or closed (once the reset itself has been read); this
// program never shuts its own side down while it writes, so the meaning for
// the user is "the peer dropped the connection".
constexpr ErrnoCode kErrnoCodes[] = {
    {EINTR, 10004},        {EBADF, 10009},           {EACCES, 10013},
    {EPERM, 10013},        {EFAULT, 10014},          {EINVAL, 10022},
    {EMFILE, 10024},       {ENFILE, 10024},          {EWOULDBLOCK, 10035},
    {EINPROGRESS, 10036},  {EALREADY, 10037},        {ENOTSOCK, 10038},
    {EDESTADDRREQ, 10039}, {EMSGSIZE, 10040},        {EPROTOTYPE, 10041},
    {ENOPROTOOPT, 10042},  {EPROTONOSUPPORT, 10043}, {ESOCKTNOSUPPORT, 10044},
    {EOPNOTSUPP, 10045},   {EPFNOSUPPORT, 10046},    {EAFNOSUPPORT, 10047},
    {EADDRINUSE, 10048},   {EADDRNOTAVAIL, 10049},   {ENETDOWN, 10050},
    {ENETUNREACH, 10051},  {ENETRESET, 10052},       {ECONNABORTED, 10053},
    {ECONNRESET, 10054},   {EPIPE, 10054},           {ENOBUFS, 10055},
    {ENOMEM, 10055},       {EISCONN, 10056},         {ENOTCONN, 10057},
    {ESHUTDOWN, 10058},    {ETOOMANYREFS, 10059},    {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061}, {ELOOP, 10062},           {ENAMETOOLONG, 10063},
    {EHOSTDOWN, 10064},    {EHOSTUNREACH, 10065},    {ENOTEMPTY, 10066},
    {EUSERS, 10068},       {EDQUOT, 10069},          {ESTALE, 10070},
    {EREMOTE, 10071},
};

struct Name
{
    int code;
    const char *name;
    bool inConnectList;
    bool inWriteList;
};

constexpr Name kNames[] = {
    {10013, "ACCES", false, true},        {10014, "FAULT", true, true},
    {10022, "INVAL", true, true},         {10024, "MFILE", true, false},
    {10036, "INPROGRESS", true, true},    {10038, "NOTSOCK", true, true},
    {10039, "DESTADDRREQ", true, false},  {10040, "MSGSIZE", false, true},
    {10047, "AFNOSUPPORT", true, false},  {10048, "ADDRINUSE", true, false},
    {10049, "ADDRNOTAVAIL", true, false}, {10050, "NETDOWN", true, true},
    {10051, "NETUNREACH", true, false},   {10052, "NETRESET", false, true},
    {10053, "CONNABORTED", false, true},  {10054, "CONNRESET", false, true},
    {10055, "NOBUFS", true, true},        {10056, "ISCONN", true, false},
    {10057, "NOTCONN", false, true},      {10058, "SHUTDOWN", false, true},
    {10060, "TIMEDOUT", true, false},     {10061, "CONNREFUSED", true, false},
    {10065, "HOSTUNREACH", true, false},  {10093, "NOTINITIALISED", true, true},
};

const Name *findName(int code)
{
    for (const Name &n : kNames) {
        if (n.code == code)
            return &n;
    }
    return nullptr;
}

} // namespace

int codeFromErrno(int err)
{
    for (const ErrnoCode &e : kErrnoCodes) {
        if (e.err == err)
            return e.code;
    }
    return err;
}

int codeFromResolver(int eai, int err)
{
    switch (eai) {
    case 0:
        return 0;
    case EAI_SYSTEM:
        return codeFromErrno(err);
    case EAI_AGAIN:
        return WsaTryAgain;
    case EAI_MEMORY:
        return codeFromErrno(ENOMEM);
    case EAI_FAMILY:
        return codeFromErrno(EAFNOSUPPORT);
    case EAI_NONAME:
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
#endif
        return WsaHostNotFound;
    default:
        return WsaNoRecovery;
    }
}

QString connectErrorName(int code)
{
    const Name *n = findName(code);
    if (n && n->inConnectList)
        return QString::fromLatin1(n->name);
    return QString::number(code);
}

QString writeErrorName(int code)
{
    const Name *n = findName(code);
    if (n && n->inWriteList)
        return QString::fromLatin1(n->name);
    return {};
}

} // namespace SocketErrors
