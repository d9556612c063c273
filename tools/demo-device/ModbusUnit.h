#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The room controller as Modbus RTU unit 1, for the demo of framing "none":
// requests are found in the byte stream by their CRC (the demo's line has no
// silence to go by, and its text frames run through the same stream).
// Holding and input registers: 0 temperature x10, 1 humidity %, 2 CO2 ppm,
// 3 setpoint x10 (writable, 50-350), 4 light 0/1 (writable).
class ModbusUnit
{
public:
    static constexpr std::uint8_t kUnit = 1;
    static constexpr int kRegisters = 5;
    using Bytes = std::vector<std::uint8_t>;

    // Reads a register now; writes one (false: the value is out of range).
    std::function<std::uint16_t(int reg)> read;
    std::function<bool(int reg, std::uint16_t value)> write;

    // Takes one byte; true when it ends a request with a valid CRC, which
    // request() then holds (and the bytes before it are forgotten).
    bool take(std::uint8_t b);
    const Bytes &request() const { return m_request; }
    // The answer to request(): the registers, the write echoed, or an
    // exception (1 function, 2 address, 3 value); CRC included.
    Bytes answer() const;
    // Bytes taken since the last request that look like the start of one for
    // this unit (address 1, a known function): a request without its CRC or
    // with a wrong one. Empty otherwise; forgets them.
    Bytes takeLeftover();
    // Bytes were taken since the last request or leftover.
    bool pending() const { return !m_window.empty(); }

    static std::uint16_t crc(const std::uint8_t *data, std::size_t n);

private:
    Bytes m_window; // the last bytes taken, at most one request long
    Bytes m_request;
};
