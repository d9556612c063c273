#pragma once

#include "transfer/ReceivedFileSink.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <memory>

// Picks a file sent by the r+k printer out of the received data: first the
// answer header up to its "*", then exactly the announced number of file
// bytes, which go to the sink and through the CRC-32 that the header's value
// is checked against. Fed one received block at a time; plain bytes in,
// outcomes out, nothing else.
class CPrinterFileReceiver
{
public:
    enum class Outcome {
        Idle,            // no reception was running; nothing happened
        Pending,         // the reception goes on
        Completed,       // the file is complete and its CRC matched
        BadCrc,          // the file is complete, its CRC differs
        MalformedHeader, // no size or CRC field, or a value that is no 32-bit number
        HeaderTooLong,   // no "*" within the header's limit
        WriteFailed,     // the sink refused; its errorText() says why
    };

    CPrinterFileReceiver();
    ~CPrinterFileReceiver();

    // Awaits a new answer header, dropping any reception under way.
    void start(std::unique_ptr<CReceivedFileSink> sink);
    // Ends a reception under way; the bytes written so far are kept where
    // partialFile() says.
    void cancel();
    bool isActive() const { return m_phase != Phase::Idle; }

    // Takes the next received block. The "*" that ends the header is
    // overwritten with 0x00 in `data`, as the display then shows it. Bytes
    // beyond the announced size are not written. Every outcome but Pending
    // (and Idle) ends the reception.
    Outcome feed(std::uint8_t *data, std::size_t length);

    bool headerComplete() const { return m_phase == Phase::Data; }
    std::uint64_t bytesExpected() const { return m_expected; }
    std::uint64_t bytesReceived() const { return m_expected - m_remaining; }
    std::uint32_t expectedCrc() const { return m_expectedCrc; }
    QString errorText() const;
    // Where the bytes of the last reception that ended before its file was
    // complete were kept; empty when there were none.
    const QString &partialFile() const { return m_keptPart; }

private:
    enum class Phase { Idle, Header, Data };

    Outcome takeHeader(std::uint8_t *data, std::size_t length);
    Outcome takeData(const std::uint8_t *data, std::size_t length);
    Outcome finish();
    Outcome fail(Outcome outcome);
    void appendHeaderText(const std::uint8_t *data, std::size_t length);

    Phase m_phase = Phase::Idle;
    std::unique_ptr<CReceivedFileSink> m_sink;
    QByteArray m_header;
    std::uint64_t m_expected = 0;
    std::uint64_t m_remaining = 0;
    std::uint32_t m_expectedCrc = 0;
    std::uint32_t m_crc = 0;
    QString m_error;
    QString m_keptPart;
};
