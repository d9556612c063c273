#pragma once

#include "platform/Event.h"
#include "platform/SerialDevice.h"
#include "ports/LinkState.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// Follows the modem lines of an open serial device on a thread of its own
// (orba-lines). The thread blocks until an input line changes (TIOCMIWAIT),
// which no descriptor can announce, so lines that stand still cost nothing;
// only a signal ends that wait. A driver that cannot wait for a change has
// its lines looked at every 50 ms instead. A device without modem lines is
// reported once as not available, and then nothing happens until the device
// is opened anew.
class CModemLineWatcher final
{
public:
    using Changed = std::function<void(const ModemLineState &)>;

    explicit CModemLineWatcher(CSerialDevice &device)
        : m_device(device)
    {}
    ~CModemLineWatcher() { stop(); }
    CModemLineWatcher(const CModemLineWatcher &) = delete;
    CModemLineWatcher &operator=(const CModemLineWatcher &) = delete;

    // Reads the lines, tells `changed` (also when there are none) and
    // follows them from now on. `changed` runs on the watching thread, or on
    // the caller's in start() and switchLines(), each time the state changed.
    void start(Changed changed);
    // Ends the watching; the state is not available again.
    void stop();
    // The device is about to be let go: returns once the watching thread no
    // longer uses it. The state is not available until resume().
    void pause();
    // The device is open again: its lines are read and followed.
    void resume();

    ModemLineState state() const;
    // Set each time the state changed; whoever waits for a change resets it.
    CEvent &changedEvent() { return m_changedEvent; }

    // Raises or drops the output lines `bits` of the watched device, and
    // reads the state anew.
    LineRequest switchLines(int bits, bool up);

private:
    void run();
    // Reads the lines and publishes them; 0 or the errno, and whether the
    // state changed. m_mutex held.
    int readLines(bool tell, bool *changed = nullptr);
    // Whether the state changed.
    bool publish(std::uint32_t packed, bool tell);
    // Ends a wait that only a signal can end. m_mutex held by `lock`.
    void leaveWait(std::unique_lock<std::mutex> &lock);

    CSerialDevice &m_device;
    Changed m_changed;
    std::atomic<std::uint32_t> m_state{0};
    CEvent m_changedEvent;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    bool m_quit = false;
    bool m_watching = false;
    // Counts the device's openings, so that the thread gives up on one
    // (no lines, failed) until the next.
    unsigned m_opening = 0;
    bool m_inWait = false;
};
