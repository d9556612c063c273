#pragma once

#include "platform/TtyIo.h"

#include <atomic>
#include <deque>
#include <mutex>

// A device's tty calls played by the test, on top of a real descriptor (a
// pseudo-terminal): modem lines that the test raises and drops, a break that
// it counts or refuses, and reads that answer what the test says before they
// read the device again.
class FakeTtyIo final : public CTtyIo
{
public:
    FakeTtyIo();
    ~FakeTtyIo() override;

    // Raises or drops input lines (ModemBits); a waiting watcher wakes.
    void setInputs(int bits, bool up);
    // The lines as the device has them now, outputs included.
    int lines() const { return m_lines.load(); }
    // Answers every modem-line call with ENOTTY, like a pseudo-terminal.
    void withoutModemLines() { m_noLines = true; }
    // The errno the next breaks answer (0: sent), and how many were sent.
    void setBreakError(int err) { m_breakError = err; }
    int breaks() const { return m_breaks.load(); }

    // The next reads answer these instead of reading: a byte count of 0, or
    // an errno (negative). `thenAgain`: the last one for every read after.
    void answerReads(std::deque<int> results, bool thenAgain = false);
    // The device is read again.
    void readAgain() { answerReads({}); }

    ssize_t read(int fd, void *buffer, std::size_t size) override;
    int modemLines(int fd, int &bits) override;
    int switchModemLines(int fd, int bits, bool up) override;
    int waitModemChange(int fd, int bits) override;
    int sendBreak(int fd) override;

private:
    std::atomic<int> m_lines{ModemBits::Dtr | ModemBits::Rts};
    std::atomic<bool> m_noLines{false};
    std::atomic<int> m_breakError{0};
    std::atomic<int> m_breaks{0};
    int m_wake[2] = {-1, -1}; // a byte per change, for the waiting watcher
    std::mutex m_mutex;
    std::deque<int> m_reads;
    bool m_repeat = false;
};
