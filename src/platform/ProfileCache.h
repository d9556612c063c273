#pragma once

#include "platform/ProfileText.h"

#include <QString>

#include <optional>

// The parse of one profile file, read again only when the file changed (another
// inode, size, modification or change time). For reads on a hot path such as
// a hotkey that fires on received data: an edit of the file while the program
// runs is still seen at the next read, but an unchanged file costs one stat().
namespace profile {

class ProfileCache
{
public:
    const Snapshot &snapshot(const QString &path);
    // How often the file was read (and parsed) so far.
    int reads() const { return m_reads; }

private:
    struct Stamp
    {
        bool exists = false;
        unsigned long long device = 0;
        unsigned long long inode = 0;
        long long size = 0;
        long long modified = 0; // nanoseconds
        long long changed = 0;  // nanoseconds
        bool operator==(const Stamp &) const = default;
    };
    static Stamp stampOf(const QString &path);

    QString m_path;
    Stamp m_stamp;
    std::optional<Snapshot> m_snapshot;
    bool m_racy = false;
    int m_reads = 0;
};

} // namespace profile
