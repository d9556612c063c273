#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Frames of STX text ETX out of a byte stream, as the simulated devices take
// their commands: bytes between frames are passed over, an STX inside a
// frame starts it over, and a frame longer than the limit is dropped.
class FrameReader
{
public:
    enum class Step { None, Frame, TooLong };

    explicit FrameReader(std::size_t maxFrame)
        : m_max(maxFrame)
    {}

    // Takes one byte; Frame when it ended one (then frame() holds its text).
    Step take(std::uint8_t b)
    {
        if (!m_inFrame) {
            if (b == kStx) {
                m_inFrame = true;
                m_frame.clear();
            }
            return Step::None;
        }
        if (b == kEtx) {
            m_inFrame = false;
            return Step::Frame;
        }
        if (b == kStx) {
            m_frame.clear();
        } else if (m_frame.size() < m_max) {
            m_frame.push_back(static_cast<char>(b));
        } else {
            m_inFrame = false;
            return Step::TooLong;
        }
        return Step::None;
    }
    void reset()
    {
        m_inFrame = false;
        m_frame.clear();
    }
    const std::string &frame() const { return m_frame; }
    std::size_t limit() const { return m_max; }

private:
    static constexpr std::uint8_t kStx = 0x02;
    static constexpr std::uint8_t kEtx = 0x03;
    std::size_t m_max;
    bool m_inFrame = false;
    std::string m_frame;
};
