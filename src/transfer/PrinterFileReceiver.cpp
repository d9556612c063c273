#include "PrinterFileReceiver.h"

#include "transfer/Crc32.h"
#include "transfer/PrinterProtocol.h"

#include <algorithm>
#include <cstring>

CPrinterFileReceiver::CPrinterFileReceiver() = default;

CPrinterFileReceiver::~CPrinterFileReceiver()
{
    cancel();
}

void CPrinterFileReceiver::start(std::unique_ptr<CReceivedFileSink> sink)
{
    cancel();
    m_sink = std::move(sink);
    m_header.clear();
    m_expected = 0;
    m_remaining = 0;
    m_expectedCrc = 0;
    m_crc = kCrc32Preset;
    m_error.clear();
    m_keptPart.clear();
    m_phase = m_sink ? Phase::Header : Phase::Idle;
}

void CPrinterFileReceiver::cancel()
{
    if (m_sink && m_phase == Phase::Data)
        m_keptPart = m_sink->abandon();
    m_sink.reset();
    m_phase = Phase::Idle;
}

QString CPrinterFileReceiver::errorText() const
{
    return m_error;
}

CPrinterFileReceiver::Outcome CPrinterFileReceiver::fail(Outcome outcome)
{
    if (outcome == Outcome::WriteFailed && m_sink)
        m_error = m_sink->errorText();
    cancel();
    return outcome;
}

CPrinterFileReceiver::Outcome CPrinterFileReceiver::feed(std::uint8_t *data, std::size_t length)
{
    switch (m_phase) {
    case Phase::Idle:
        return Outcome::Idle;
    case Phase::Header:
        return takeHeader(data, length);
    case Phase::Data:
        return takeData(data, length);
    }
    return Outcome::Idle;
}

void CPrinterFileReceiver::appendHeaderText(const std::uint8_t *data, std::size_t length)
{
    // The header is text: it ends at a 0x00 byte within the piece.
    const void *nul = std::memchr(data, 0, length);
    if (nul)
        length = static_cast<std::size_t>(static_cast<const std::uint8_t *>(nul) - data);
    m_header.append(reinterpret_cast<const char *>(data), static_cast<qsizetype>(length));
}

CPrinterFileReceiver::Outcome CPrinterFileReceiver::takeHeader(std::uint8_t *data,
                                                               std::size_t length)
{
    auto *star = static_cast<std::uint8_t *>(std::memchr(data, '*', length));
    if (!star) {
        // Told as soon as the text is too long, not only when more arrives:
        // a printer that sends nothing after it would leave the wait open.
        appendHeaderText(data, length);
        if (m_header.size() >= PrinterProtocol::kMaxHeaderText)
            return fail(Outcome::HeaderTooLong);
        return Outcome::Pending;
    }
    const auto k = static_cast<std::size_t>(star - data);
    *star = 0;
    appendHeaderText(data, k);

    const PrinterProtocol::AnswerHeader header = PrinterProtocol::parseAnswerHeader(m_header);
    if (header.status != PrinterProtocol::AnswerHeader::Status::Ok)
        return fail(Outcome::MalformedHeader);
    m_expected = header.size;
    m_remaining = header.size;
    m_expectedCrc = header.crc;
    m_crc = kCrc32Preset;
    if (!m_sink->begin())
        return fail(Outcome::WriteFailed);
    m_phase = Phase::Data;
    // An empty file is complete with its header.
    if (m_remaining == 0)
        return finish();
    return takeData(star + 1, length - k - 1);
}

CPrinterFileReceiver::Outcome CPrinterFileReceiver::takeData(const std::uint8_t *data,
                                                             std::size_t length)
{
    // Bytes beyond the announced size are not the file's.
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(length, m_remaining));
    if (n == 0)
        return Outcome::Pending;
    if (!m_sink->write(data, n))
        return fail(Outcome::WriteFailed);
    m_crc = UpdateCrc32(m_crc, data, n);
    m_remaining -= n;
    return m_remaining == 0 ? finish() : Outcome::Pending;
}

CPrinterFileReceiver::Outcome CPrinterFileReceiver::finish()
{
    if (!m_sink->end())
        return fail(Outcome::WriteFailed);
    m_sink.reset();
    m_phase = Phase::Idle;
    return ~m_crc == m_expectedCrc ? Outcome::Completed : Outcome::BadCrc;
}
