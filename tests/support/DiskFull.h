#pragma once

#include <csignal>

#include <sys/resource.h>

// Runs `work` with the file size limit at `bytes`: writes beyond it fail with
// EFBIG, which stands in for a full disk. Returns what `work` returns.
template<typename Work>
auto withDiskFullAt(rlim_t bytes, Work work)
{
    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    struct rlimit saved;
    ::getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit limited = saved;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    struct Restore
    {
        rlimit limit;
        struct sigaction action;
        ~Restore()
        {
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::sigaction(SIGXFSZ, &action, nullptr);
        }
    } restore{saved, previous};
    return work();
}
