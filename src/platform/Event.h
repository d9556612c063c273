#pragma once

// A manual-reset event backed by an eventfd, so that a thread can poll() it
// together with a device or socket descriptor. Set, reset and wait are safe
// from any thread.
class CEvent final
{
public:
    CEvent();
    ~CEvent();
    CEvent(const CEvent &) = delete;
    CEvent &operator=(const CEvent &) = delete;

    bool isValid() const { return m_fd >= 0; }
    void set();
    void reset();
    bool isSet() const;
    // Waits until the event is set or the time-out passes (negative: no limit).
    // Returns true when the event is set.
    bool wait(int timeoutMs) const;
    // Readable (POLLIN) exactly while the event is set.
    int fd() const { return m_fd; }

private:
    int m_fd = -1;
};

// Waits until `fd` is ready for `events` or `stop` is set, at most `timeoutMs`
// (negative: no limit). Returns the poll revents of `fd` (0 on time-out or stop)
// and sets `stopped` when the stop event is set.
short pollWithStop(int fd, short events, const CEvent &stop, int timeoutMs, bool &stopped);
