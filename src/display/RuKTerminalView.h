#pragma once

#include "display/CharacterMapping.h"
#include "display/DisplaySettings.h"
#include "display/LogWriter.h"

#include <QWidget>

#include <cstdint>

class CDisplayWidget;

// The terminal display: turns blocks of received and sent bytes into coloured
// text (text or hex rendering, timestamps, mapping texts), keeps the display
// limit and scrolls along.
class CRuKTerminalView final : public QWidget
{
    Q_OBJECT
public:
    static constexpr QRgb kReceivedColor = 0xFF0000FF; // blue
    static constexpr QRgb kSentColor = 0xFFFF0000;     // red
    static constexpr QRgb kNoteColor = 0xFF808080;     // grey: the display's own notes
    // Whatever the display limit says, the display never holds more than
    // this, so a flood left running for hours cannot exhaust memory. Beyond
    // it the oldest quarter goes, and a note at the top says so.
    static constexpr qint64 kHardLimit = 32LL * 1024 * 1024;

    CRuKTerminalView(DisplaySettings &settings, const CharMapTable &table, CDisplayHost *host,
                     QWidget *parent = nullptr);
    ~CRuKTerminalView() override;

    // Shows the oldest queued block and adds its size to `shown`; false when
    // the queue was empty.
    bool ShowNextReceivedBlock(qsizetype *shown = nullptr);
    void AppendToDisplay(const std::uint8_t *pData, int length, bool received);
    void ClearDisplay();
    // Writes what is waiting for the log file; done by itself once the event
    // loop turns, that is after every slice of blocks.
    void flushLog();
    const CLogWriter::Status &logStatus() const { return m_log.status(); }

    CDisplayWidget *widget() const { return m_display; }
    int visibleLines() const { return m_nVisibleLines; }
    int hexColumnSent() const { return m_nHexColumnSent; }
    int hexColumnReceived() const { return m_nHexColumnReceived; }

signals:
    // The log file became impossible to write, or writable again.
    void logStatusChanged(const CLogWriter::Status &status);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void AppendHexToDisplay(const std::uint8_t *pData, int length, bool received);
    void log(const void *bytes, qsizetype length);
    // Drops the oldest text when `incoming` characters would pass kHardLimit.
    void keepWithinHardLimit(qsizetype incoming);
    // Display limit, insert at the end in `color`, auto-scroll.
    void insertText(const QByteArray &text, QRgb color);
    void measureVisibleLines();

    DisplaySettings &m_settings;
    const CharMapTable &m_table;
    CDisplayHost *m_host;
    CDisplayWidget *m_display;
    int m_nVisibleLines = 10;
    int m_glyphHeight = -1; // height of the display font's tallest glyphs
    int m_nHexColumnSent = 0;
    int m_nHexColumnReceived = 0;
    CLogWriter m_log;
};

// Drops every queued block.
void ClearReceivedQueue();
