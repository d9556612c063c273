#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

// Collects what the display logs during one slice of work and writes it with
// one open, append and close (AppendToLogFile), so a flood costs one file
// operation per slice instead of one per block while the file stays closed
// between slices. Keeps track of whether the log can be written, and reports
// each change of that once.
class CLogWriter final
{
public:
    // Pending bytes beyond this are written at once, keeping memory bounded.
    static constexpr qsizetype kMaxPending = 4 * 1024 * 1024;

    struct Status
    {
        bool failing = false;
        QString path;
        int error = 0;          // errno, or kLogNotRegularFile
        std::uint64_t lost = 0; // bytes not logged since the failure began
        bool dismissed = false; // ended by forget(), not by a successful write
    };

    // Queues bytes for the log at `path`. Bytes for another path first write
    // what is pending for the old one. Returns true when the bytes are the
    // first pending ones, so the caller knows to arrange a flush().
    bool append(const QString &path, const char *data, qsizetype length);
    // Writes what is pending.
    void flush();
    bool hasPending() const { return !m_pending.isEmpty(); }

    const Status &status() const { return m_status; }
    // Ends a failure without a report: the log it concerned is no longer
    // written (logging switched off).
    void forget();
    // Called after every change of status(): failing begins, or ends.
    void setStatusHandler(std::function<void(const Status &)> handler)
    {
        m_onStatus = std::move(handler);
    }

    // The path "-" stands for standard output (a log asked for on the command
    // line); otherwise it is a file of that name like any other.
    void setDashIsStandardOutput(bool on) { m_dashIsStandardOutput = on; }
    bool writesStandardOutput() const;

    // What a failure means, for the user.
    static QString describe(int error);

private:
    QString m_path;
    bool m_dashIsStandardOutput = false;
    QByteArray m_pending;
    Status m_status;
    std::function<void(const Status &)> m_onStatus;
};
