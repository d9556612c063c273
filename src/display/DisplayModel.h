#pragma once

#include "display/CharacterMapping.h"
#include "display/DisplayBuffer.h"
#include "display/DisplaySettings.h"
#include "display/LogWriter.h"

#include <QObject>

#include <cstdint>

// What the terminal display holds, apart from any widget: blocks of received
// and sent bytes turned into coloured text (text or hex rendering, timestamps,
// mapping texts), the display limit, the safety cap and the log that mirrors
// what is shown. A widget paints buffer() and follows the signals; the log,
// the document and the find bar read the same text.
class CDisplayModel final : public QObject
{
    Q_OBJECT
public:
    static constexpr TextColor kReceivedColor = 0xFF0000FF; // blue
    static constexpr TextColor kSentColor = 0xFFFF0000;     // red
    static constexpr TextColor kNoteColor = 0xFF808080;     // grey: the display's own notes
    static constexpr TextColor kDocumentColor = 0xFF000000; // a document's text
    // Whatever the display limit says, the display never holds more than
    // this, so a flood left running for hours cannot exhaust memory. Beyond
    // it the oldest quarter goes, and a note at the top says so.
    static constexpr qint64 kHardLimit = 32LL * 1024 * 1024;

    CDisplayModel(const DisplaySettings &settings, const CharMapTable &table,
                  QObject *parent = nullptr);
    ~CDisplayModel() override;

    // Shows a block: rendered as the settings say, logged, added at the end.
    void append(const std::uint8_t *data, int length, bool received);
    // Empties the display; hex rows begin anew.
    void clear();
    // Replaces everything by `text` (a document being opened).
    void setText(const QByteArray &text, TextColor color = kDocumentColor);

    const CDisplayBuffer &buffer() const { return m_buffer; }

    // The next text shown begins a new line and gets the timestamp.
    bool lineStartPending() const { return m_bLineStartPending; }
    void setLineStartPending(bool pending) { m_bLineStartPending = pending; }
    int hexColumnSent() const { return m_nHexColumnSent; }
    int hexColumnReceived() const { return m_nHexColumnReceived; }

    // Writes what is waiting for the log file; done by itself once the event
    // loop turns, that is after every slice of blocks.
    void flushLog();
    const CLogWriter::Status &logStatus() const { return m_log.status(); }
    // The log path "-" stands for standard output (see CLogWriter).
    void setDashLogsToStandardOutput(bool on) { m_log.setDashIsStandardOutput(on); }

signals:
    // Text was added at the end.
    void appended();
    // Everything was replaced (cleared, limit reached, document opened).
    void reset();
    // The oldest text went to keep the cap; what stays moved by `dropped`.
    void oldestDropped(const CDisplayBuffer::Dropped &dropped);
    // The log file became impossible to write, or writable again.
    void logStatusChanged(const CLogWriter::Status &status);

private:
    void appendHex(const std::uint8_t *data, int length, bool received);
    void log(const void *bytes, qsizetype length);
    // Drops the oldest text when `incoming` characters would pass kHardLimit.
    void keepWithinHardLimit(qsizetype incoming);
    // Display limit, the cap, then the text at the end in `color`.
    void insertText(const QByteArray &text, TextColor color);
    void resetTo(const QByteArray &text, TextColor color);

    const DisplaySettings &m_settings;
    const CharMapTable &m_table;
    CDisplayBuffer m_buffer;
    bool m_bLineStartPending = true;
    int m_nHexColumnSent = 0;
    int m_nHexColumnReceived = 0;
    CLogWriter m_log;
    // The text of the block being shown, its room kept for the next block.
    static constexpr qsizetype kScratchKept = 256 * 1024;
    QByteArray m_text;
};

static_assert(CDisplayModel::kHardLimit <= CDisplayBuffer::kMaxLength);
