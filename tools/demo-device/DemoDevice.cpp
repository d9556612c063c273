#include "DemoDevice.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace {

std::string upper(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string trimmed(const std::string &text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Hex digits and blanks only: what a Hex-Data hotkey sends in text mode.
bool looksLikeHexDigits(const std::string &text)
{
    int digits = 0;
    for (unsigned char c : text) {
        if (std::isxdigit(c))
            ++digits;
        else if (c != ' ')
            return false;
    }
    return digits >= 2;
}

// The media gateway's commands: options ("OD+"), the physical address
// ("P:01.01.005"), "ERASE!" and group address definitions ("S01/2/003:9,E").
bool isGatewayCommand(const std::string &text)
{
    if (text == "ERASE!" || text.rfind("P:", 0) == 0)
        return true;
    if (text.size() == 3 && text[0] == 'O' && std::isupper(static_cast<unsigned char>(text[1]))
        && (text[2] == '+' || text[2] == '-'))
        return true;
    return text.size() > 1 && text[0] == 'S' && std::isdigit(static_cast<unsigned char>(text[1]));
}

std::string tenths(int value)
{
    const int whole = std::abs(value) / 10;
    return (value < 0 ? "-" : "") + std::to_string(whole) + "."
           + std::to_string(std::abs(value) % 10);
}

} // namespace

DemoDevice::DemoDevice(Options options, Sender send, std::FILE *log)
    : m_options(std::move(options))
    , m_send(std::move(send))
    , m_log(log)
    , m_printer(PrinterSession::Options{m_options.printerFolder, 0, 0, false}, m_send, log)
{
    m_modbus.read = [this](int reg) -> std::uint16_t {
        if (reg < 3)
            return static_cast<std::uint16_t>(values()[static_cast<std::size_t>(reg)]);
        return static_cast<std::uint16_t>(reg == 3 ? m_setpointTenths : m_lightOn);
    };
    m_modbus.write = [this](int reg, std::uint16_t value) {
        if (reg == 3 && value >= 50 && value <= 350)
            m_setpointTenths = value;
        else if (reg == 4 && value <= 1)
            m_lightOn = value == 1;
        else
            return false;
        return true;
    };
}

void DemoDevice::feed(const std::uint8_t *data, std::size_t length)
{
    while (length > 0) {
        // The raw bytes of a file sent to the printer are no frames, whatever they hold.
        if (const std::uint64_t expected = m_printer.fileBytesExpected(); expected > 0) {
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(expected, length));
            m_printer.feed(data, n);
            data += n;
            length -= n;
            continue;
        }
        const std::uint8_t b = *data++;
        --length;
        m_lastByte = Clock::now();
        if (m_modbus.take(b)) {
            // Its bytes were no text frame, whatever they looked like.
            m_frames.reset();
            modbusRequest();
        } else if (m_frames.take(b, m_log)) {
            takeFrame(m_frames.frame());
        }
    }
    std::fflush(m_log);
}

void DemoDevice::takeFrame(const std::string &text)
{
    if (text.rfind("#T=", 0) == 0 || text.rfind("#G=", 0) == 0) {
        const std::string framed = "\x02" + text + "\x03";
        m_printer.feed(reinterpret_cast<const std::uint8_t *>(framed.data()), framed.size());
        return;
    }
    // Control bytes are no command: part of a binary request, say.
    if (std::any_of(text.begin(), text.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r' && c != '\n';
        }))
        return;
    if (isGatewayCommand(text)) {
        gatewayFrame(text);
        return;
    }
    std::fprintf(m_log, "< %s\n", text.c_str());
    const std::string reply = answer(text);
    if (!reply.empty())
        sendText(reply);
}

void DemoDevice::gatewayFrame(const std::string &text)
{
    const std::string framed = "\x02" + text + "\x03";
    m_gateway.feed(framed.data(), framed.size(), Clock::now());
    for (const std::string &line : m_gateway.takeReport()) {
        std::fprintf(m_log, "gateway %s\n", line.c_str());
        sendText("GW " + line);
    }
}

void DemoDevice::sendText(const std::string &text)
{
    const std::string framed = "\x02" + text + "\x03";
    if (!m_send(reinterpret_cast<const std::uint8_t *>(framed.data()), framed.size()))
        std::fprintf(m_log, "not sent (nobody reads the line): %s\n", text.c_str());
}

std::array<int, 3> DemoDevice::values() const
{
    // A room that drifts slowly around its setpoint.
    const double t
        = std::chrono::duration<double>(Clock::now() - m_started).count() + m_readings * 7.0;
    const int temperature = m_setpointTenths
                            + static_cast<int>(std::lround(6.0 * std::sin(t / 40.0)))
                            + (m_readings * 7 % 5) - 2;
    const int humidity = 45 + static_cast<int>(std::lround(4.0 * std::sin(t / 65.0)));
    const int co2
        = 600 + static_cast<int>(std::lround(150.0 * std::sin(t / 90.0))) + (m_lightOn ? 80 : 0);
    return {temperature, humidity, co2};
}

std::string DemoDevice::reading() const
{
    // No commas and no "*": a reading that arrives just before a printer
    // answer must not look like part of the answer's header.
    const auto [temperature, humidity, co2] = values();
    return "T=" + tenths(temperature) + " C  RH=" + std::to_string(humidity)
           + " %  CO2=" + std::to_string(co2) + " ppm";
}

namespace {
std::string hexText(const std::vector<std::uint8_t> &bytes)
{
    std::string out;
    char digits[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, "%02X ", b);
        out += digits;
    }
    if (!out.empty())
        out.pop_back();
    return out;
}
} // namespace

void DemoDevice::modbusRequest()
{
    const ModbusUnit::Bytes reply = m_modbus.answer();
    std::fprintf(m_log, "modbus < %s\nmodbus > %s\n", hexText(m_modbus.request()).c_str(),
                 hexText(reply).c_str());
    if (!m_send(reply.data(), reply.size()))
        std::fprintf(m_log, "not sent (nobody reads the line): the Modbus answer\n");
}

void DemoDevice::modbusLeftover()
{
    // A real unit stays silent; the demo's log says why.
    const ModbusUnit::Bytes left = m_modbus.takeLeftover();
    if (left.size() < 6)
        return;
    const std::uint16_t crc = ModbusUnit::crc(left.data(), 6);
    std::fprintf(m_log,
                 "modbus: no answer to %s: no valid CRC-16/MODBUS (%02X %02X would be right; "
                 "choose it in Send options)\n",
                 hexText(left).c_str(), crc & 0xFF, crc >> 8);
    std::fflush(m_log);
}

std::string DemoDevice::answer(const std::string &command)
{
    const std::string text = trimmed(command);
    const std::string word = upper(text);
    if (word.empty())
        return {};
    if (word == "HELP" || word == "?")
        return "Commands: HELP  VER  READ  STATUS  LIGHT ON  LIGHT OFF  SET 22.5  ALIVE";
    if (word == "VER")
        return "ORBA demo room controller  firmware 1.0";
    if (word == "READ")
        return reading();
    if (word == "STATUS") {
        const auto uptime
            = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - m_started).count();
        return std::string("STATUS light=") + (m_lightOn ? "ON" : "OFF") + " setpoint="
               + tenths(m_setpointTenths) + " C uptime=" + std::to_string(uptime) + " s";
    }
    if (word == "LIGHT ON" || word == "LIGHT OFF") {
        m_lightOn = word == "LIGHT ON";
        return std::string("LIGHT=") + (m_lightOn ? "ON" : "OFF");
    }
    if (word.rfind("SET ", 0) == 0) {
        char *end = nullptr;
        const std::string value = trimmed(word.substr(4));
        const double setpoint = std::strtod(value.c_str(), &end);
        if (value.empty() || *end != '\0' || setpoint < 5.0 || setpoint > 35.0)
            return "ERROR the setpoint is 5.0 to 35.0 (SET 22.5)";
        m_setpointTenths = static_cast<int>(std::lround(setpoint * 10.0));
        return "SETPOINT=" + tenths(m_setpointTenths) + " C";
    }
    if (word == "ALIVE") {
        const bool asked = m_aliveAsked;
        m_aliveAsked = false;
        return asked ? "ALIVE OK - thank you for answering" : "ALIVE OK";
    }
    if (looksLikeHexDigits(text))
        return "ERROR unknown command \"" + text
               + "\" - a Hex-Data hotkey sends its digits as text; switch hex mode on, or "
                 "framing \"none\" in Send options, to send them as bytes";
    return "ERROR unknown command \"" + text + "\" - HELP lists the commands";
}

std::chrono::milliseconds DemoDevice::tick(Clock::time_point now)
{
    // A quiet line ends whatever Modbus bytes came without their CRC.
    constexpr auto kQuiet = std::chrono::milliseconds(50);
    if (m_modbus.pending() && now - m_lastByte >= kQuiet)
        modbusLeftover();
    if (now >= m_nextReading) {
        sendText(reading());
        ++m_readings;
        if (m_options.aliveEvery > 0 && m_readings % m_options.aliveEvery == 0) {
            m_aliveAsked = true;
            sendText("ALIVE?");
        }
        m_nextReading += m_options.readingInterval;
        // After a long stall the readings go on from now, not in a burst.
        if (m_nextReading <= now)
            m_nextReading = now + m_options.readingInterval;
    }
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(m_nextReading - now);
    return m_modbus.pending() ? std::min(wait, kQuiet) : wait;
}
