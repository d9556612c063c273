#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Frames of STX text ETX out of a byte stream, as the simulated devices take
// their commands: bytes between frames are passed over, an STX inside a
// frame starts it over, and a frame longer than the limit is dropped.
class FrameReader
{
public:
    explicit FrameReader(std::size_t maxFrame)
        : m_max(maxFrame)
    {}

    // Takes one byte; true when it ended a frame (then frame() holds its
    // text). A frame dropped for its length is said in `log`.
    bool take(std::uint8_t b, std::FILE *log)
    {
        if (!m_inFrame) {
            if (b == kStx) {
                m_inFrame = true;
                m_frame.clear();
            }
            return false;
        }
        if (b == kEtx) {
            m_inFrame = false;
            return true;
        }
        if (b == kStx) {
            m_frame.clear();
        } else if (m_frame.size() < m_max) {
            m_frame.push_back(static_cast<char>(b));
        } else {
            std::fprintf(log, "dropped a frame of more than %zu bytes\n", m_max);
            m_inFrame = false;
        }
        return false;
    }
    void reset()
    {
        m_inFrame = false;
        m_frame.clear();
    }
    const std::string &frame() const { return m_frame; }

private:
    static constexpr std::uint8_t kStx = 0x02;
    static constexpr std::uint8_t kEtx = 0x03;
    std::size_t m_max;
    bool m_inFrame = false;
    std::string m_frame;
};
