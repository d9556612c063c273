#include "NodeWatch.h"

#include <QFile>
#include <QFileInfo>

#include <cstdint>

#include <sys/inotify.h>
#include <unistd.h>

namespace {
// Entries that come, go or are renamed, and the folder itself going.
constexpr std::uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO
                                  | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
} // namespace

CNodeWatch::CNodeWatch()
    : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{}

CNodeWatch::~CNodeWatch()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void CNodeWatch::unwatchAll()
{
    for (int &wd : m_wd) {
        if (wd >= 0)
            ::inotify_rm_watch(m_fd, wd);
        wd = -1;
    }
    m_watched = false;
}

bool CNodeWatch::watch(const QString &path)
{
    if (m_fd < 0)
        return false;
    unwatchAll();
    clear();
    const QFileInfo node(path);
    const QString folders[2]
        = {node.absolutePath(),
           node.isSymLink() ? QFileInfo(node.canonicalFilePath()).absolutePath() : QString()};
    for (int i = 0; i < 2; ++i) {
        if (folders[i].isEmpty() || (i == 1 && folders[1] == folders[0]))
            continue;
        m_wd[i] = ::inotify_add_watch(m_fd, QFile::encodeName(folders[i]).constData(), kEvents);
    }
    // The node's own folder is needed; the target's only adds the node's removal behind a link.
    m_watched = m_wd[0] >= 0;
    return m_watched;
}

void CNodeWatch::clear()
{
    if (m_fd < 0)
        return;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = ::read(m_fd, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            // The node's folder went (and its watch with it): nothing tells any more.
            if ((event->mask & IN_IGNORED) && event->wd == m_wd[0]) {
                m_wd[0] = -1;
                m_watched = false;
            }
            at += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
}
