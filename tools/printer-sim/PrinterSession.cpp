#include "PrinterSession.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace {

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
// A frame longer than this is no header or request; it is dropped.
constexpr std::size_t kMaxFrame = 64 * 1024;

// CRC-32/ISO-HDLC, bytewise over the reflected polynomial.
const std::array<std::uint32_t, 256> &crcTable()
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    return table;
}

std::uint32_t crcUpdate(std::uint32_t crc, const std::uint8_t *p, std::size_t n)
{
    const auto &t = crcTable();
    while (n-- > 0)
        crc = t[(crc ^ *p++) & 0xFFu] ^ (crc >> 8);
    return crc;
}

bool parseNumber(const std::string &text, std::uint64_t &value)
{
    if (text.empty() || text.size() > 10)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value <= 0xFFFFFFFFu;
}

} // namespace

PrinterSession::PrinterSession(Options options, Sender send, std::FILE *log)
    : m_options(std::move(options))
    , m_send(std::move(send))
    , m_log(log)
{}

PrinterSession::~PrinterSession()
{
    reset();
}

void PrinterSession::reset()
{
    if (m_file) {
        std::fprintf(m_log, "incomplete %s (%llu of %llu bytes)\n", m_fileName.c_str(),
                     static_cast<unsigned long long>(m_fileSize - m_remaining),
                     static_cast<unsigned long long>(m_fileSize));
        std::fclose(m_file);
        m_file = nullptr;
    }
    m_state = State::Idle;
    m_frame.clear();
}

std::filesystem::path PrinterSession::fileFor(const std::string &name) const
{
    // Printer names use backslashes between folders.
    std::string relative = name;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const std::filesystem::path path(relative);
    if (relative.empty() || path.is_absolute())
        return {};
    for (const auto &part : path) {
        if (part == "..")
            return {};
    }
    return m_options.folder / path;
}

void PrinterSession::feed(const std::uint8_t *data, std::size_t length)
{
    while (length > 0) {
        if (m_state == State::FileData) {
            const std::size_t n
                = static_cast<std::size_t>(std::min<std::uint64_t>(length, m_remaining));
            takeFileBytes(data, n);
            data += n;
            length -= n;
            continue;
        }
        const std::uint8_t b = *data++;
        --length;
        if (m_state == State::Idle) {
            if (b == kStx) {
                m_state = State::Frame;
                m_frame.clear();
            }
            continue;
        }
        // In a frame.
        if (b == kEtx) {
            m_state = State::Idle;
            takeFrame(m_frame);
        } else if (b == kStx) {
            m_frame.clear(); // a new frame starts over
        } else if (m_frame.size() < kMaxFrame) {
            m_frame.push_back(static_cast<char>(b));
        } else {
            std::fprintf(m_log, "dropped a frame of more than %zu bytes\n", kMaxFrame);
            m_state = State::Idle;
        }
    }
    std::fflush(m_log);
}

void PrinterSession::takeFrame(const std::string &text)
{
    if (text.rfind("#T=", 0) == 0 && text.size() > 3 && text.back() == '*') {
        beginFile(text.substr(3, text.size() - 4));
    } else if (text.rfind("#G=", 0) == 0 && text.size() > 3 && text.back() == '*') {
        answer(text.substr(3, text.size() - 4));
    } else {
        std::fprintf(m_log, "text: %s\n", text.c_str());
    }
}

void PrinterSession::beginFile(const std::string &header)
{
    // NAME,SIZE,CRC — the name may itself hold commas.
    const std::size_t crcComma = header.rfind(',');
    const std::size_t sizeComma = crcComma == std::string::npos || crcComma == 0
                                      ? std::string::npos
                                      : header.rfind(',', crcComma - 1);
    std::uint64_t size = 0;
    std::uint64_t crc = 0;
    if (sizeComma == std::string::npos
        || !parseNumber(header.substr(sizeComma + 1, crcComma - sizeComma - 1), size)
        || !parseNumber(header.substr(crcComma + 1), crc)) {
        std::fprintf(m_log, "bad header: #T=%s*\n", header.c_str());
        return;
    }
    m_fileName = header.substr(0, sizeComma);
    const std::filesystem::path path = fileFor(m_fileName);
    std::error_code ec;
    if (!path.empty())
        std::filesystem::create_directories(path.parent_path(), ec);
    m_file = path.empty() ? nullptr : std::fopen(path.c_str(), "wb");
    if (!m_file) {
        std::fprintf(m_log, "cannot store %s: %s\n", m_fileName.c_str(),
                     path.empty() ? "name outside the folder" : std::strerror(errno));
        return;
    }
    m_fileSize = size;
    m_remaining = size;
    m_announcedCrc = static_cast<std::uint32_t>(crc);
    m_crc = 0xFFFFFFFFu;
    m_state = State::FileData;
    if (m_remaining == 0)
        endFile();
}

void PrinterSession::takeFileBytes(const std::uint8_t *data, std::size_t length)
{
    if (std::fwrite(data, 1, length, m_file) != length) {
        std::fprintf(m_log, "writing %s failed: %s\n", m_fileName.c_str(), std::strerror(errno));
    }
    m_crc = crcUpdate(m_crc, data, length);
    m_remaining -= length;
    if (m_remaining == 0)
        endFile();
}

void PrinterSession::endFile()
{
    std::fclose(m_file);
    m_file = nullptr;
    m_state = State::Idle;
    const std::uint32_t crc = ~m_crc;
    if (crc == m_announcedCrc)
        std::fprintf(m_log, "stored %s (%llu bytes, CRC %u ok)\n", m_fileName.c_str(),
                     static_cast<unsigned long long>(m_fileSize), crc);
    else
        std::fprintf(m_log, "stored %s (%llu bytes, CRC mismatch: announced %u, computed %u)\n",
                     m_fileName.c_str(), static_cast<unsigned long long>(m_fileSize),
                     m_announcedCrc, crc);
}

bool PrinterSession::sendAll(const std::uint8_t *data, std::size_t length, bool last)
{
    const std::size_t block = m_options.answerBlock;
    if (block == 0)
        return m_send(data, length);
    // Blocks run on across the header and the file bytes, so the "*" can lie
    // anywhere within one.
    m_carry.insert(m_carry.end(), data, data + length);
    std::size_t done = 0;
    bool ok = true;
    while (ok && (m_carry.size() - done >= block || (last && done < m_carry.size()))) {
        const std::size_t n = std::min(block, m_carry.size() - done);
        ok = m_send(m_carry.data() + done, n);
        done += n;
        // A pause lets each block arrive as a read of its own.
        if (m_options.blockDelayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(m_options.blockDelayMs));
    }
    m_carry.erase(m_carry.begin(), m_carry.begin() + static_cast<std::ptrdiff_t>(done));
    if (last || !ok)
        m_carry.clear();
    return ok;
}

void PrinterSession::answer(const std::string &name)
{
    const std::filesystem::path path = fileFor(name);
    std::FILE *file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    if (!file) {
        // No size field: the terminal refuses this answer with a beep.
        std::fprintf(m_log, "not found %s\n", name.c_str());
        const std::string reply = "#E=" + name + " not found*";
        sendAll(reinterpret_cast<const std::uint8_t *>(reply.data()), reply.size(), true);
        return;
    }
    // The CRC first: the header goes before the bytes.
    std::vector<std::uint8_t> buffer(1 << 20);
    std::uint32_t crc = 0xFFFFFFFFu;
    std::uint64_t size = 0;
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0; size += n)
        crc = crcUpdate(crc, buffer.data(), n);
    crc = ~crc;
    const std::uint32_t announced = m_options.badCrc ? crc + 1 : crc;
    const std::string header
        = "#T=" + name + "," + std::to_string(size) + "," + std::to_string(announced) + "*";
    bool ok
        = sendAll(reinterpret_cast<const std::uint8_t *>(header.data()), header.size(), size == 0);
    std::rewind(file);
    for (std::uint64_t sent = 0; ok && sent < size;) {
        const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), file);
        if (n == 0)
            break;
        sent += n;
        ok = sendAll(buffer.data(), n, sent >= size);
    }
    if (ok && !m_carry.empty()) // the file shrank since its CRC was taken
        ok = sendAll(nullptr, 0, true);
    std::fclose(file);
    if (!ok)
        std::fprintf(m_log, "link lost while sending %s\n", name.c_str());
    else if (m_options.badCrc)
        std::fprintf(m_log, "sent %s (%llu bytes, CRC %u announced as %u)\n", name.c_str(),
                     static_cast<unsigned long long>(size), crc, announced);
    else
        std::fprintf(m_log, "sent %s (%llu bytes, CRC %u)\n", name.c_str(),
                     static_cast<unsigned long long>(size), crc);
}
