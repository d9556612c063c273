#pragma once

#include "display/CharacterMapping.h"
#include "display/DisplaySettings.h"

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
    // Whatever the display limit says, the display never holds more than
    // this; beyond it, it is emptied like at the limit, so a flood left
    // running for hours cannot exhaust memory.
    static constexpr qint64 kHardLimit = 128LL * 1024 * 1024;

    CRuKTerminalView(DisplaySettings &settings, const CharMapTable &table, CDisplayHost *host,
                     QWidget *parent = nullptr);
    ~CRuKTerminalView() override;

    // Shows the oldest queued block; false when the queue was empty.
    bool ShowNextReceivedBlock();
    void AppendToDisplay(const std::uint8_t *pData, int length, bool received);
    void ClearDisplay();

    CDisplayWidget *widget() const { return m_display; }
    int visibleLines() const { return m_nVisibleLines; }
    int hexColumnSent() const { return m_nHexColumnSent; }
    int hexColumnReceived() const { return m_nHexColumnReceived; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void AppendHexToDisplay(const std::uint8_t *pData, int length, bool received);
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
};

// Drops every queued block.
void ClearReceivedQueue();
