#include "ModbusUnit.h"

#include <algorithm>

namespace {
constexpr std::size_t kRequestLength = 8; // unit, function, two words, CRC

bool knownFunction(std::uint8_t f)
{
    return f == 3 || f == 4 || f == 6;
}

void appendCrc(ModbusUnit::Bytes &frame)
{
    const std::uint16_t c = ModbusUnit::crc(frame.data(), frame.size());
    frame.push_back(static_cast<std::uint8_t>(c & 0xFF));
    frame.push_back(static_cast<std::uint8_t>(c >> 8));
}
} // namespace

std::uint16_t ModbusUnit::crc(const std::uint8_t *data, std::size_t n)
{
    std::uint16_t c = 0xFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? static_cast<std::uint16_t>((c >> 1) ^ 0xA001) : (c >> 1);
    }
    return c;
}

bool ModbusUnit::take(std::uint8_t b)
{
    m_window.push_back(b);
    if (m_window.size() > kRequestLength)
        m_window.erase(m_window.begin());
    if (m_window.size() < kRequestLength || m_window[0] != kUnit || !knownFunction(m_window[1]))
        return false;
    const std::uint16_t c = crc(m_window.data(), kRequestLength - 2);
    if (m_window[6] != (c & 0xFF) || m_window[7] != (c >> 8))
        return false;
    m_request = m_window;
    m_window.clear();
    return true;
}

ModbusUnit::Bytes ModbusUnit::takeLeftover()
{
    Bytes left;
    // The latest place where a request for this unit could have begun.
    for (std::size_t i = 0; i + 1 < m_window.size(); ++i) {
        if (m_window[i] == kUnit && knownFunction(m_window[i + 1])) {
            left.assign(m_window.begin() + static_cast<std::ptrdiff_t>(i), m_window.end());
            break;
        }
    }
    m_window.clear();
    return left;
}

ModbusUnit::Bytes ModbusUnit::answer() const
{
    const std::uint8_t function = m_request[1];
    const int first = (m_request[2] << 8) | m_request[3];
    const int value = (m_request[4] << 8) | m_request[5];
    Bytes out{kUnit, function};
    const auto exception = [&](std::uint8_t code) {
        out = {kUnit, static_cast<std::uint8_t>(function | 0x80), code};
        appendCrc(out);
        return out;
    };
    if (function == 6) {
        if (first >= kRegisters)
            return exception(2);
        if (!write || !write(first, static_cast<std::uint16_t>(value)))
            return exception(3);
        out.assign(m_request.begin(), m_request.begin() + 6); // a write is echoed
        appendCrc(out);
        return out;
    }
    // Read holding (3) or input (4) registers: the same five.
    if (value < 1 || first + value > kRegisters)
        return exception(2);
    out.push_back(static_cast<std::uint8_t>(2 * value));
    for (int reg = first; reg < first + value; ++reg) {
        const std::uint16_t v = read ? read(reg) : 0;
        out.push_back(static_cast<std::uint8_t>(v >> 8));
        out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    }
    appendCrc(out);
    return out;
}
