#pragma once

#include <QString>

// Tells when the folder entry of a device node changes (the node, or the
// link that names it, removed, renamed or replaced), through an inotify
// descriptor that poll() waits on together with the device: a node that goes
// is noticed at once, without looking for it every so often.
class CNodeWatch final
{
public:
    CNodeWatch();
    ~CNodeWatch();
    CNodeWatch(const CNodeWatch &) = delete;
    CNodeWatch &operator=(const CNodeWatch &) = delete;

    // Watches the folder of `path` and, for a symbolic link, that of the node
    // it leads to (instead of what was watched before). False when nothing
    // could be watched: then the caller has to look for itself.
    bool watch(const QString &path);
    // Readable while changes wait; -1 without a watch.
    int fd() const { return m_watched ? m_fd : -1; }
    // Takes the changes that wait. The watch ends when the node's folder goes.
    void clear();

private:
    void unwatchAll();

    int m_fd = -1;
    int m_wd[2] = {-1, -1};
    bool m_watched = false;
};
