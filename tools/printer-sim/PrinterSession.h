#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// One conversation with the terminal: framed texts (0x02 … 0x03) carry "#T="
// headers, after which the announced number of raw file bytes follows, and
// "#G=" requests, which are answered with a header and the file's bytes.
class PrinterSession
{
public:
    struct Options
    {
        std::filesystem::path folder = ".";
        std::size_t answerBlock = 0; // split answers into blocks of this size (0: whole)
        int blockDelayMs = 0;        // pause between those blocks
        bool badCrc = false;         // announce a wrong CRC in answers
    };
    // Writes bytes to the terminal; false when the link is gone.
    using Sender = std::function<bool(const std::uint8_t *, std::size_t)>;

    PrinterSession(Options options, Sender send, std::FILE *log);
    ~PrinterSession();
    PrinterSession(const PrinterSession &) = delete;
    PrinterSession &operator=(const PrinterSession &) = delete;

    // Takes bytes received from the terminal.
    void feed(const std::uint8_t *data, std::size_t length);
    // The link went down: a file being received is kept as far as it came.
    void reset();
    // The raw file bytes still expected after a "#T=" header; 0 when none.
    std::uint64_t fileBytesExpected() const { return m_state == State::FileData ? m_remaining : 0; }

private:
    void takeFrame(const std::string &text);
    void beginFile(const std::string &header);
    void takeFileBytes(const std::uint8_t *data, std::size_t length);
    void endFile();
    void answer(const std::string &name);
    bool sendAll(const std::uint8_t *data, std::size_t length, bool last);
    // The file in the folder for a printer name; empty when the name leaves the folder.
    std::filesystem::path fileFor(const std::string &name) const;

    Options m_options;
    Sender m_send;
    std::FILE *m_log;

    enum class State { Idle, Frame, FileData } m_state = State::Idle;
    std::string m_frame;
    // The file being received.
    std::FILE *m_file = nullptr;
    std::string m_fileName;
    std::uint64_t m_fileSize = 0;
    std::uint64_t m_remaining = 0;
    std::uint32_t m_announcedCrc = 0;
    std::uint32_t m_crc = 0;
    std::vector<std::uint8_t> m_carry; // the start of an answer block
};
