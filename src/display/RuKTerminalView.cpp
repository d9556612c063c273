#include "RuKTerminalView.h"

#include "display/DisplayRendering.h"
#include "display/DisplayWidget.h"
#include "display/LogFile.h"
#include "display/ReceivedBlockQueue.h"
#include "platform/Clock.h"

#include <QFontMetrics>
#include <QVBoxLayout>

namespace {
QFont displayFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    return font;
}
} // namespace

void ClearReceivedQueue()
{
    CReceivedBlockQueue::instance().clear();
}

CRuKTerminalView::CRuKTerminalView(DisplaySettings &settings, const CharMapTable &table,
                                   CDisplayHost *host, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_table(table)
    , m_host(host)
    , m_display(new CDisplayWidget(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_display);
    m_display->setDisplayFont(displayFont());
    setFocusProxy(m_display);
}

CRuKTerminalView::~CRuKTerminalView()
{
    ClearReceivedQueue();
}

void CRuKTerminalView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    measureVisibleLines();
}

void CRuKTerminalView::measureVisibleLines()
{
    if (m_glyphHeight < 0) {
        const QFontMetrics fm(m_display->font());
        m_glyphHeight = fm.boundingRect(QStringLiteral("\u00C4g\u00B0")).height();
    }
    m_nVisibleLines = m_glyphHeight > 0 ? m_display->viewport()->height() / m_glyphHeight - 1 : 10;
}

bool CRuKTerminalView::ShowNextReceivedBlock()
{
    QByteArray block;
    if (!CReceivedBlockQueue::instance().takeNext(block))
        return false;
    AppendToDisplay(reinterpret_cast<const std::uint8_t *>(block.constData()),
                    static_cast<int>(block.size()), true);
    return true;
}

void CRuKTerminalView::ClearDisplay()
{
    m_display->clear();
    m_nHexColumnSent = 0;
    m_nHexColumnReceived = 0;
}

void CRuKTerminalView::AppendToDisplay(const std::uint8_t *pData, int length, bool received)
{
    if (length <= 0 || !pData)
        return;
    // A copy: the printer receiver may mark the block before it is shown.
    QByteArray block(reinterpret_cast<const char *>(pData), length);
    auto *bytes = reinterpret_cast<std::uint8_t *>(block.data());
    if (received && m_host && m_host->IsPrinterReceptionActive())
        m_host->ReceivePrinterFileData(bytes, length);

    if (m_settings.hexMode) {
        AppendHexToDisplay(bytes, length, received);
        return;
    }

    const QRgb color = received ? kReceivedColor : kSentColor;
    QByteArray timestamp;
    if (m_settings.timestampPerLine)
        timestamp = formatTimestamp(currentLocalTime());
    else if (m_settings.loggingOn)
        AppendToLogFile(m_settings.logFilePath, bytes, static_cast<std::uint32_t>(length));

    QByteArray text = convertBytesForDisplay(bytes, length, m_settings.charMappingOn, m_table);
    if (m_settings.charMappingOn || m_settings.timestampPerLine) {
        if (m_settings.timestampPerLine && m_settings.lineStartPending)
            text.prepend(timestamp.constData() + 1, timestamp.size() - 1);
        m_settings.lineStartPending
            = MapCharacters(text, false, timestamp, m_table, m_settings.charMappingOn);
        if (m_settings.timestampPerLine && m_settings.loggingOn)
            AppendToLogFile(m_settings.logFilePath, text.constData(),
                            static_cast<std::uint32_t>(text.size()));
    }
    insertText(text, color);

    if (received && m_settings.autoReplyMask != 0 && m_host)
        m_host->CheckReceiveTriggers(bytes, length);
}

void CRuKTerminalView::AppendHexToDisplay(const std::uint8_t *pData, int length, bool received)
{
    int *column;
    QRgb color;
    if (received) {
        color = kReceivedColor;
        column = &m_nHexColumnReceived;
        m_nHexColumnSent = 0;
    } else {
        color = kSentColor;
        column = &m_nHexColumnSent;
        m_nHexColumnReceived = 0;
    }
    if (m_settings.loggingOn)
        AppendToLogFile(m_settings.logFilePath, pData, static_cast<std::uint32_t>(length));
    insertText(renderHex(pData, length, *column, m_settings.hexBytesPerLine), color);

    if (received && m_settings.autoReplyMask != 0 && m_host)
        m_host->CheckReceiveTriggers(pData, length);
}

void CRuKTerminalView::insertText(const QByteArray &text, QRgb color)
{
    const qint64 length = m_display->buffer().length();
    if ((m_settings.displayLimitOn && m_settings.displayLimit != 0
         && length > m_settings.displayLimit)
        || length > kHardLimit)
        m_display->clear();
    m_display->appendText(text, color);

    if (m_settings.autoScroll) {
        measureVisibleLines();
        const int caretLine = m_display->buffer().lineCount() - 1;
        const int first = m_display->firstVisibleLine();
        if (caretLine > first + m_nVisibleLines)
            m_display->scrollToLine(caretLine - m_nVisibleLines);
    }
}
