#include "GatewayModel.h"

#include <cstdio>
#include <utility>

namespace {

constexpr char kStx = 0x02;
constexpr char kEtx = 0x03;
// Longer than any command; a frame beyond this lost its ETX.
constexpr std::size_t kMaxFrame = 64;

const char *const kOptionLetters[]
    = {"OD", "OE", "OG", "OH", "ON", "OR", "OS", "OV", "OX", "OQ", "OW"};

// Bytes as readable text: printable ASCII as is, everything else as <XX>.
std::string escaped(const std::string &bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02X>", c);
            out += hex;
        }
    }
    return out;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Exactly `width` digits at `at`; their value, or -1.
int digits(const std::string &text, std::size_t at, std::size_t width)
{
    if (at + width > text.size())
        return -1;
    int value = 0;
    for (std::size_t i = at; i < at + width; ++i) {
        if (!isDigit(text[i]))
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

std::string groupAddress(std::uint16_t word)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%d/%03d", (word >> 11) & 15, (word >> 8) & 7,
                  word & 255);
    return text;
}

} // namespace

void GatewayModel::feed(const char *data, std::size_t length, Clock::time_point now)
{
    for (std::size_t i = 0; i < length; ++i) {
        const char c = data[i];
        if (c == kStx) {
            flushStray();
            if (m_inFrame)
                error("frame without ETX", m_frame);
            m_inFrame = true;
            m_frame.clear();
        } else if (!m_inFrame) {
            m_stray += c;
        } else if (c == kEtx) {
            m_inFrame = false;
            frame(m_frame, now);
        } else if (m_frame.size() >= kMaxFrame) {
            error("frame too long, no ETX", m_frame);
            m_inFrame = false;
            m_stray = std::string(1, c);
        } else {
            m_frame += c;
        }
    }
}

void GatewayModel::flushStray()
{
    if (!m_stray.empty())
        error("bytes outside a frame", m_stray);
    m_stray.clear();
}

std::vector<std::string> GatewayModel::takeReport()
{
    std::vector<std::string> report;
    report.swap(m_report);
    return report;
}

void GatewayModel::error(const std::string &why, const std::string &bytes)
{
    m_report.push_back("error " + why + ": " + escaped(bytes));
}

void GatewayModel::frame(const std::string &text, Clock::time_point now)
{
    std::string why = "unknown command";
    bool ok = false;
    if (text == "ERASE!") {
        m_table.clear();
        m_erasedAt = now;
        m_firstAfterErase = true;
        m_lastDefined.reset();
        m_changed = true;
        ok = true;
    } else if (text.size() == 3 && text[0] == 'O') {
        ok = option(text);
        if (!ok)
            why = "unknown option";
    } else if (text.rfind("P:", 0) == 0) {
        ok = physicalAddress(text, why);
    } else if (!text.empty() && text[0] == 'S') {
        ok = definition(text, why, now);
    }
    if (!ok) {
        error(why, text);
        return;
    }
    m_report.push_back("ok " + text);
    if (!m_note.empty())
        m_report.push_back(std::exchange(m_note, {}));
}

bool GatewayModel::option(const std::string &text)
{
    if (text[2] != '+' && text[2] != '-')
        return false;
    const std::string letters = text.substr(0, 2);
    for (const char *known : kOptionLetters) {
        if (letters == known) {
            m_options[letters] = text[2];
            m_changed = true;
            return true;
        }
    }
    return false;
}

bool GatewayModel::physicalAddress(const std::string &text, std::string &why)
{
    // P:aa.ll.ddd
    const int area = digits(text, 2, 2);
    const int line = digits(text, 5, 2);
    const int device = digits(text, 8, 3);
    if (text.size() != 11 || text[4] != '.' || text[7] != '.' || area < 0 || line < 0
        || device < 0) {
        why = "physical address not in the form P:aa.ll.ddd";
        return false;
    }
    if (area > 15 || line > 15 || device > 255) {
        why = "physical address out of range";
        return false;
    }
    m_physicalAddress = text.substr(2);
    m_changed = true;
    return true;
}

bool GatewayModel::definition(const std::string &text, std::string &why, Clock::time_point now)
{
    // Smm/m/sss:f,E with f 1-21 without a leading zero
    const int main = digits(text, 1, 2);
    const int middle = digits(text, 4, 1);
    const int sub = digits(text, 6, 3);
    const bool shape = text.size() >= 13 && text[3] == '/' && text[5] == '/' && text[9] == ':'
                       && main >= 0 && middle >= 0 && sub >= 0;
    const std::size_t comma = text.find(',', 10);
    const std::size_t formatDigits = comma == std::string::npos ? 0 : comma - 10;
    const int format = formatDigits >= 1 && formatDigits <= 2 ? digits(text, 10, formatDigits) : -1;
    if (!shape || format < 0 || text[10] == '0' || comma + 2 != text.size()
        || (text.back() != 'E' && text.back() != 'D')) {
        why = "definition not in the form Smm/m/sss:f,E or ,D";
        return false;
    }
    if (main > 15 || middle > 7 || sub > 255) {
        why = "group address out of range";
        return false;
    }
    if (format < 1 || format > 21) {
        why = "format not 1-21";
        return false;
    }
    // The gateway builds its table from an empty one, in one ascending pass.
    if (!m_erasedAt) {
        why = "definition without ERASE! before it";
        return false;
    }
    const auto since = now - *m_erasedAt;
    const auto sinceMs = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    if (m_firstAfterErase) {
        m_report.push_back("pause-after-erase " + std::to_string(sinceMs) + " ms");
        m_firstAfterErase = false;
    }
    if (since < m_eraseBusy) {
        why = "still erasing (" + std::to_string(sinceMs) + " ms after ERASE!)";
        return false;
    }
    const auto word = static_cast<std::uint16_t>(main << 11 | middle << 8 | sub);
    if (m_lastDefined && word < *m_lastDefined) {
        why = "not in ascending order (after " + groupAddress(*m_lastDefined) + ")";
        return false;
    }
    if (m_lastDefined && word == *m_lastDefined)
        m_note = "note " + groupAddress(word) + " defined again, the later definition holds";
    m_lastDefined = word;
    m_table[word] = {format, text.back() == 'E'};
    m_changed = true;
    return true;
}

std::vector<std::string> GatewayModel::dump()
{
    m_changed = false;
    std::vector<std::string> lines;
    lines.push_back("state");
    std::string options = "options";
    for (const char *letters : kOptionLetters) {
        const auto it = m_options.find(letters);
        options += ' ';
        options += letters;
        options += it == m_options.end() ? '?' : it->second;
    }
    lines.push_back(options);
    lines.push_back("pa " + (m_physicalAddress.empty() ? std::string("?") : m_physicalAddress));
    lines.push_back("table " + std::to_string(m_table.size()));
    for (const auto &[word, d] : m_table)
        lines.push_back(groupAddress(word) + " format " + std::to_string(d.format) + " receive "
                        + (d.receive ? "E" : "D"));
    lines.push_back("end");
    return lines;
}
