#pragma once

#include <QScopeGuard>

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
    struct rlimit saved = {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const struct rlimit limited = {bytes, saved.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limited);
    const auto restore = qScopeGuard([&] {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        ::sigaction(SIGXFSZ, &previous, nullptr);
    });
    return work();
}
