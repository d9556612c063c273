#include "RuKTerminalView.h"

#include "display/DisplayRendering.h"
#include "display/DisplayWidget.h"
#include "display/ReceivedBlockQueue.h"
#include "platform/Clock.h"
#include "platform/Codepage.h"

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
    m_display->buffer().setCapacityLimit(kHardLimit);
    setFocusProxy(m_display);
    m_log.setStatusHandler([this](const CLogWriter::Status &s) { emit logStatusChanged(s); });
}

CRuKTerminalView::~CRuKTerminalView()
{
    m_log.setStatusHandler({});
    m_log.flush();
    ClearReceivedQueue();
}

void CRuKTerminalView::flushLog()
{
    m_log.flush();
}

void CRuKTerminalView::log(const void *bytes, qsizetype length)
{
    if (m_log.append(m_settings.logFilePath, static_cast<const char *>(bytes), length))
        QMetaObject::invokeMethod(this, &CRuKTerminalView::flushLog, Qt::QueuedConnection);
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

bool CRuKTerminalView::ShowNextReceivedBlock(qsizetype *shown)
{
    QByteArray block;
    if (!CReceivedBlockQueue::instance().takeNext(block))
        return false;
    if (shown)
        *shown += block.size();
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
    if (!m_settings.loggingOn && m_log.status().failing)
        m_log.forget(); // the fault concerned a log no longer written
    const std::uint8_t *bytes = pData;
    QByteArray marked;
    if (received && m_host && m_host->IsPrinterReceptionActive()) {
        // A copy: the printer receiver may mark the block before it is shown.
        marked = QByteArray(reinterpret_cast<const char *>(pData), length);
        auto *copy = reinterpret_cast<std::uint8_t *>(marked.data());
        m_host->ReceivePrinterFileData(copy, length);
        bytes = copy;
    }

    if (m_settings.hexMode) {
        AppendHexToDisplay(bytes, length, received);
        return;
    }

    const QRgb color = received ? kReceivedColor : kSentColor;
    QByteArray timestamp;
    if (m_settings.timestampPerLine)
        timestamp = formatTimestamp(currentLocalTime());
    else if (m_settings.loggingOn)
        log(bytes, length);

    QByteArray text = convertBytesForDisplay(bytes, length, m_settings.charMappingOn, m_table);
    if (m_settings.charMappingOn || m_settings.timestampPerLine) {
        if (m_settings.timestampPerLine && m_settings.lineStartPending)
            text.prepend(timestamp.constData() + 1, timestamp.size() - 1);
        m_settings.lineStartPending
            = MapCharacters(text, false, timestamp, m_table, m_settings.charMappingOn);
        if (m_settings.timestampPerLine && m_settings.loggingOn)
            log(text.constData(), text.size());
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
        log(pData, length);
    insertText(renderHex(pData, length, *column, m_settings.hexBytesPerLine), color);

    if (received && m_settings.autoReplyMask != 0 && m_host)
        m_host->CheckReceiveTriggers(pData, length);
}

void CRuKTerminalView::keepWithinHardLimit(qsizetype incoming)
{
    const bool huge = incoming > kHardLimit / 2;
    const qint64 excess = m_display->buffer().length() + incoming - kHardLimit;
    if (!huge && excess <= 0)
        return;
    const QByteArray note = codepage::fromUnicode(
        tr("[Older text was removed here: the display keeps the last %1 MB]")
            .arg(kHardLimit / (1024 * 1024)));
    if (huge) {
        // One block larger than the display keeps: only its end is shown.
        m_display->clear();
        m_display->appendText(note + '\n', kNoteColor);
        return;
    }
    m_display->dropOldest(std::max<qint64>(excess, kHardLimit / 4), note, kNoteColor);
}

void CRuKTerminalView::insertText(const QByteArray &text, QRgb color)
{
    const qint64 length = m_display->buffer().length();
    if (m_settings.displayLimitOn && m_settings.displayLimit != 0
        && length > m_settings.displayLimit)
        m_display->clear();
    keepWithinHardLimit(text.size());
    if (text.size() > kHardLimit / 2)
        m_display->appendText(text.right(kHardLimit / 2), color);
    else
        m_display->appendText(text, color);

    if (m_settings.autoScroll) {
        measureVisibleLines();
        const int caretLine = m_display->buffer().lineCount() - 1;
        const int first = m_display->firstVisibleLine();
        if (caretLine > first + m_nVisibleLines)
            m_display->scrollToLine(caretLine - m_nVisibleLines);
    }
}

static_assert(CRuKTerminalView::kHardLimit <= CDisplayBuffer::kMaxLength);
