#include "ModemLineWatcher.h"

#include "platform/Logging.h"
#include "platform/TtyIo.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>
#include <utility>

#include <pthread.h>

namespace {

using namespace std::chrono_literals;

// Where the driver cannot wait for a change: lamps follow within this.
constexpr auto kSamplePeriod = 50ms;
// How long leaveWait lets a signal take before it sends the next one.
constexpr auto kWakeRetry = 5ms;

constexpr std::uint32_t kAvailable = 1u << 31;

std::uint32_t pack(int bits)
{
    return kAvailable | (static_cast<std::uint32_t>(bits) & 0xFFFFu);
}

ModemLineState unpack(std::uint32_t packed)
{
    ModemLineState s;
    if (!(packed & kAvailable))
        return s;
    const auto on = [packed](int bit) {
        return (packed & static_cast<std::uint32_t>(bit)) != 0;
    };
    s.available = true;
    s.cts = on(ModemBits::Cts);
    s.dsr = on(ModemBits::Dsr);
    s.dcd = on(ModemBits::Dcd);
    s.ri = on(ModemBits::Ri);
    s.dtr = on(ModemBits::Dtr);
    s.rts = on(ModemBits::Rts);
    return s;
}

} // namespace

void CModemLineWatcher::start(Changed changed)
{
    stop();
    std::unique_lock lock(m_mutex);
    m_changed = std::move(changed);
    m_quit = false;
    m_watching = true;
    ++m_opening;
    readLines(false);
    // Told once whatever the lines are, "not available" included.
    if (m_changed)
        m_changed(state());
    try {
        m_thread = std::thread(&CModemLineWatcher::run, this);
    } catch (const std::system_error &) {
        qCWarning(lcSerial, "no thread to follow the modem lines; they are read once");
    }
}

void CModemLineWatcher::stop()
{
    {
        std::unique_lock lock(m_mutex);
        m_quit = true;
        m_watching = false;
        leaveWait(lock);
    }
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard lock(m_mutex);
    m_state = 0;
    m_changed = nullptr;
}

void CModemLineWatcher::pause()
{
    std::unique_lock lock(m_mutex);
    m_watching = false;
    leaveWait(lock);
    publish(0, true);
}

void CModemLineWatcher::resume()
{
    std::lock_guard lock(m_mutex);
    if (m_quit)
        return;
    m_watching = true;
    ++m_opening;
    if (!m_thread.joinable())
        readLines(true);
    m_wake.notify_all();
}

ModemLineState CModemLineWatcher::state() const
{
    return unpack(m_state.load());
}

LineRequest CModemLineWatcher::switchLines(int bits, bool up)
{
    std::lock_guard lock(m_mutex);
    if (!m_watching)
        return LineRequest::NotRunning;
    if (const int err = m_device.switchModemLines(bits, up); err != 0) {
        if (isNoModemLinesError(err))
            return LineRequest::NotSupported;
        qCDebug(lcSerial, "switching the modem lines: %s", std::strerror(err));
        return LineRequest::Failed;
    }
    // The outputs raise no change that the thread would see.
    readLines(true);
    return LineRequest::Done;
}

int CModemLineWatcher::readLines(bool tell, bool *changed)
{
    int bits = 0;
    const int err = m_device.modemLines(bits);
    const bool differs = publish(err == 0 ? pack(bits) : 0, tell);
    if (changed)
        *changed = differs;
    return err;
}

bool CModemLineWatcher::publish(std::uint32_t packed, bool tell)
{
    if (m_state.exchange(packed) == packed)
        return false;
    m_changedEvent.set();
    if (tell && m_changed)
        m_changed(unpack(packed));
    return true;
}

void CModemLineWatcher::leaveWait(std::unique_lock<std::mutex> &lock)
{
    m_wake.notify_all();
    const auto warnAt = std::chrono::steady_clock::now() + 2500ms;
    bool warned = false;
    // The signal may come just before the thread enters its wait; then the
    // next one ends it.
    while (m_inWait) {
        interruptTtyWait(m_thread.native_handle());
        m_wake.wait_for(lock, kWakeRetry);
        if (!warned && std::chrono::steady_clock::now() > warnAt) {
            qCWarning(lcSerial, "the modem line wait does not end; still trying");
            warned = true;
        }
    }
}

void CModemLineWatcher::run()
{
    ::pthread_setname_np(::pthread_self(), "orba-lines");
    prepareTtyWaits();
    std::unique_lock lock(m_mutex);
    unsigned givenUp = 0; // the opening whose lines are not to be followed
    unsigned waitingFor = 0;
    bool canWait = true;
    bool woken = false;
    for (;;) {
        m_wake.wait(lock, [&] { return m_quit || (m_watching && m_opening != givenUp); });
        if (m_quit)
            return;
        const unsigned opening = m_opening;
        if (opening != waitingFor) {
            waitingFor = opening;
            canWait = true;
        }
        bool changed = false;
        if (const int err = readLines(true, &changed); err != 0) {
            // No modem lines: said once (the state is not available). Any
            // other failure is the device's loss, which the reader handles.
            if (!isNoModemLinesError(err))
                qCDebug(lcSerial, "reading the modem lines: %s", std::strerror(err));
            givenUp = opening;
            continue;
        }
        const auto leaveOff = [&] {
            return m_quit || !m_watching || m_opening != opening;
        };
        if (canWait) {
            // A wait that ended without a change (a pulse too short to be
            // seen, a driver that does not wait) is followed by a pause, so
            // that the thread cannot spin; what changes meanwhile is read after it.
            if (std::exchange(woken, false) && !changed) {
                m_wake.wait_for(lock, kSamplePeriod, leaveOff);
                continue;
            }
            m_inWait = true;
            lock.unlock();
            const int err = m_device.waitModemChange(ModemBits::Inputs);
            lock.lock();
            m_inWait = false;
            m_wake.notify_all();
            woken = err == 0;
            if (err == 0 || err == EINTR)
                continue;
            if (isNoModemLinesError(err)) {
                qCDebug(lcSerial, "the driver cannot wait for a modem line change; they are "
                                  "looked at every 50 ms");
                canWait = false;
                continue;
            }
            qCDebug(lcSerial, "waiting for the modem lines: %s", std::strerror(err));
            givenUp = opening;
            continue;
        }
        m_wake.wait_for(lock, kSamplePeriod, leaveOff);
    }
}
