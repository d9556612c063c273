#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// What a media gateway makes of the bytes it receives: frames between STX and
// ETX, each checked against the command syntax and the upload's rules, and the
// state the accepted commands describe. A group address definition is taken
// only after "ERASE!" and the erase time, and only in ascending order of its
// address; one address may follow itself (a table loaded from a file holds it
// twice), and then the later definition holds.
class GatewayModel
{
public:
    using Clock = std::chrono::steady_clock;
    // How long the gateway is busy after "ERASE!"; what it receives meanwhile is lost.
    static constexpr std::chrono::milliseconds kEraseBusy{1500};

    struct Definition
    {
        int format = 0;
        bool receive = true;
    };

    explicit GatewayModel(std::chrono::milliseconds eraseBusy = kEraseBusy)
        : m_eraseBusy(eraseBusy)
    {}

    // Feeds received bytes; every finished frame or error adds a line to the
    // report ("ok OD+", "error <reason>: <frame>").
    void feed(const char *data, std::size_t length, Clock::time_point now);
    // Reports bytes outside a frame collected so far.
    void flushStray();
    // Report lines since the last call.
    std::vector<std::string> takeReport();

    bool changedSinceDump() const { return m_changed; }
    // The whole state in lines: options, physical address, the table.
    std::vector<std::string> dump();

private:
    void frame(const std::string &text, Clock::time_point now);
    bool option(const std::string &text);
    bool physicalAddress(const std::string &text, std::string &why);
    bool definition(const std::string &text, std::string &why, Clock::time_point now);
    void error(const std::string &why, const std::string &bytes);

    std::chrono::milliseconds m_eraseBusy;
    std::vector<std::string> m_report;
    std::string m_frame;
    std::string m_stray;
    std::string m_note; // said after the "ok" of the frame that gave it
    bool m_inFrame = false;
    bool m_changed = false;

    std::map<std::string, char> m_options; // letters to '+' / '-'
    std::string m_physicalAddress;
    std::map<std::uint16_t, Definition> m_table;
    std::optional<Clock::time_point> m_erasedAt;
    bool m_firstAfterErase = false;
    std::optional<std::uint16_t> m_lastDefined; // since the last erase
};
