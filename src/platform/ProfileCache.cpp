#include "ProfileCache.h"

#include <QFile>

#include <sys/stat.h>
#include <time.h>

namespace profile {

ProfileCache::Stamp ProfileCache::stampOf(const QString &path)
{
    Stamp stamp;
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return stamp;
    const auto nanoseconds = [](const struct timespec &t) {
        return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
    };
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modified = nanoseconds(st.st_mtim);
    stamp.changed = nanoseconds(st.st_ctim);
    return stamp;
}

const Snapshot &ProfileCache::snapshot(const QString &path)
{
    // Taken before the read: a change during the read is seen next time.
    const Stamp stamp = stampOf(path);
    if (!m_snapshot || m_racy || path != m_path || !(stamp == m_stamp)) {
        m_snapshot.emplace(path);
        ++m_reads;
        m_path = path;
        m_stamp = stamp;
        // File times advance in steps (a few milliseconds here, two seconds
        // on some file systems): a file changed within the step of its last
        // change could keep its stamp. Until its times lie safely in the
        // past, it is read every time.
        struct timespec now;
        ::clock_gettime(CLOCK_REALTIME, &now);
        const long long nowNs = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
        constexpr long long kTimeStep = 2000000000LL;
        m_racy = stamp.exists && stamp.modified + kTimeStep > nowNs;
    }
    return *m_snapshot;
}

} // namespace profile
