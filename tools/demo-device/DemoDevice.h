#pragma once

#include "GatewayModel.h"
#include "ModbusUnit.h"
#include "PrinterSession.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

// A chatty room controller at the far end of the terminal's link, for the demo:
// it answers text commands framed by STX and ETX, sends a reading every few
// seconds and now and then asks "ALIVE?". Frames of the r+k printer exchange
// ("#T=", "#G=") go to a printer session, the media gateway's commands to a
// gateway model whose verdict it sends back, so one link shows everything.
// It is Modbus RTU unit 1 as well (ModbusUnit), for framing "none".
class DemoDevice
{
public:
    using Clock = std::chrono::steady_clock;
    // Writes bytes to the terminal; false when they could not go out.
    using Sender = std::function<bool(const std::uint8_t *, std::size_t)>;

    struct Options
    {
        std::string printerFolder = ".";
        std::chrono::milliseconds readingInterval{3000};
        int aliveEvery = 4; // every so many readings asks "ALIVE?" (0: never)
    };

    DemoDevice(Options options, Sender send, std::FILE *log);

    // Takes bytes received from the terminal.
    void feed(const std::uint8_t *data, std::size_t length);
    // Sends what is due by `now`; returns how long until the next thing is due.
    std::chrono::milliseconds tick(Clock::time_point now);

private:
    // The answer to one command text, without framing; empty for none.
    std::string answer(const std::string &command);
    // The room's values now: temperature x10, humidity %, CO2 ppm.
    std::array<int, 3> values() const;
    std::string reading() const;
    void modbusRequest();
    void modbusLeftover();
    void takeFrame(const std::string &text);
    void sendText(const std::string &text);
    void gatewayFrame(const std::string &text);

    Options m_options;
    Sender m_send;
    std::FILE *m_log;
    PrinterSession m_printer;
    GatewayModel m_gateway;
    ModbusUnit m_modbus;

    // Longer than any command; a frame beyond this lost its ETX.
    FrameReader m_frames{4096};

    Clock::time_point m_started = Clock::now();
    Clock::time_point m_nextReading = Clock::now();
    Clock::time_point m_lastByte = Clock::now();
    int m_readings = 0;
    bool m_aliveAsked = false;
    bool m_lightOn = false;
    int m_setpointTenths = 210;
};
