#include "FakeTtyIo.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

FakeTtyIo::FakeTtyIo()
{
    if (::pipe2(m_wake, O_CLOEXEC) == 0)
        ::fcntl(m_wake[1], F_SETFL, O_NONBLOCK);
}

FakeTtyIo::~FakeTtyIo()
{
    for (int fd : m_wake)
        if (fd >= 0)
            ::close(fd);
}

void FakeTtyIo::setInputs(int bits, bool up)
{
    up ? m_lines |= bits : m_lines &= ~bits;
    const char change = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &change, 1);
}

void FakeTtyIo::answerReads(std::deque<int> results, bool thenAgain)
{
    std::lock_guard lock(m_mutex);
    m_reads = std::move(results);
    m_repeat = thenAgain;
}

ssize_t FakeTtyIo::read(int fd, void *buffer, std::size_t size)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_reads.empty()) {
            const int result = m_reads.front();
            if (m_reads.size() > 1 || !m_repeat)
                m_reads.pop_front();
            if (result >= 0)
                return result;
            errno = -result;
            return -1;
        }
    }
    return CTtyIo::read(fd, buffer, size);
}

int FakeTtyIo::modemLines(int, int &bits)
{
    bits = m_noLines ? 0 : m_lines.load();
    return m_noLines ? ENOTTY : 0;
}

int FakeTtyIo::switchModemLines(int, int bits, bool up)
{
    if (m_noLines)
        return ENOTTY;
    bits &= ModemBits::Dtr | ModemBits::Rts;
    up ? m_lines |= bits : m_lines &= ~bits;
    return 0;
}

int FakeTtyIo::waitModemChange(int, int)
{
    if (m_noLines)
        return ENOTTY;
    // Blocks like TIOCMIWAIT, and like it ends with EINTR on a signal.
    char change = 0;
    return ::read(m_wake[0], &change, 1) == 1 ? 0 : errno;
}

int FakeTtyIo::sendBreak(int)
{
    if (const int err = m_breakError.load(); err != 0)
        return err;
    ++m_breaks;
    return 0;
}
