#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// Saves a file so that it is always either the old file or the new one,
// whole: the bytes go into a temporary file in the target's folder, are
// flushed to the disk, and the temporary file then takes the target's place
// by rename. A crash, a kill or a full disk in the middle leave the old file
// as it was. The new file keeps the mode and, where allowed, the owner of the
// file it replaces; a symbolic link is followed, not replaced.
//
//     AtomicFile file(path);
//     if (!file.open() || !file.write(a) || !file.write(b) || !file.commit())
//         report(file.errorString());
//
// Without commit() (an error, or the object simply going away) the target
// stays untouched and the temporary file is removed.
class AtomicFile final
{
    Q_DECLARE_TR_FUNCTIONS(AtomicFile)

public:
    explicit AtomicFile(const QString &path);
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // A folder that refuses new files while the target itself may be written
    // (an INI in a read-only program folder): write the target in place.
    // Its new size is reserved on the disk before the old bytes are
    // overwritten, so a full disk still leaves the old file; only a crash in
    // the middle of the write could not. Off by default.
    void setDirectWriteFallback(bool on) { m_directWriteFallback = on; }

    bool open();
    bool write(const char *data, qsizetype size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    // Flushes, then replaces the target. False when anything failed; the
    // target is then as it was.
    bool commit();
    // Drops what was written; the target stays as it was.
    void discard();
    // Flushes what was written so far and puts it at `path` instead of the
    // target (replacing a file there): partial results worth keeping. The
    // target stays as it was. False when that failed; the bytes are dropped.
    bool keepAs(const QString &path);
    // The bytes the temporary file holds so far (also after a failed write).
    qint64 bytesOnDisk() const;

    // The errno of the first failure, 0 when there was none.
    int error() const { return m_error; }
    // That failure as a sentence for the user.
    QString errorString() const { return describe(m_error); }
    // The path the bytes go to: the target, or where its symbolic link points.
    const QString &targetPath() const { return m_target; }

    // Saves `bytes` as the whole file at `path`, with the direct-write
    // fallback; false with the reason in `errorText` when given.
    static bool save(const QString &path, const QByteArray &bytes, QString *errorText = nullptr);
    // An errno as a sentence for the user.
    static QString describe(int error);

private:
    bool fail(int error);
    // 0, or the errno of the failure.
    int openTemporary();
    bool commitDirect();
    // Flushes the temporary file and renames it to `path`.
    bool moveTemporaryTo(const QString &path);

    QString m_path;
    QString m_target;
    QString m_tempPath;
    int m_fd = -1;
    int m_error = 0;
    bool m_open = false;
    bool m_direct = false;
    bool m_directWriteFallback = false;
    QByteArray m_directBytes; // what a direct write puts in place at commit()
};
