#include "DisplayModel.h"

#include "display/DisplayRendering.h"
#include "platform/Clock.h"
#include "platform/Codepage.h"

#include <QMetaObject>

CDisplayModel::CDisplayModel(const DisplaySettings &settings, const CharMapTable &table,
                             QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_table(table)
{
    m_buffer.setCapacityLimit(kHardLimit);
    m_log.setStatusHandler([this](const CLogWriter::Status &s) { emit logStatusChanged(s); });
}

CDisplayModel::~CDisplayModel()
{
    m_log.setStatusHandler({});
    m_log.flush();
}

void CDisplayModel::flushLog()
{
    m_log.flush();
}

void CDisplayModel::log(const void *bytes, qsizetype length)
{
    if (m_log.append(m_settings.logFilePath, static_cast<const char *>(bytes), length))
        QMetaObject::invokeMethod(this, &CDisplayModel::flushLog, Qt::QueuedConnection);
}

void CDisplayModel::clear()
{
    resetTo({}, kDocumentColor);
    m_nHexColumnSent = 0;
    m_nHexColumnReceived = 0;
}

void CDisplayModel::setText(const QByteArray &text, TextColor color)
{
    resetTo(text, color);
}

void CDisplayModel::resetTo(const QByteArray &text, TextColor color)
{
    m_buffer.setText(text, color);
    emit reset();
}

void CDisplayModel::append(const std::uint8_t *data, int length, bool received)
{
    if (length <= 0 || !data)
        return;
    if (!m_settings.loggingOn && m_log.status().failing)
        m_log.forget(); // the fault concerned a log no longer written
    if (m_settings.hexMode) {
        appendHex(data, length, received);
        return;
    }

    QByteArray timestamp;
    if (m_settings.timestampPerLine)
        timestamp = formatTimestamp(currentLocalTime());
    else if (m_settings.loggingOn)
        log(data, length);

    QByteArray &text = m_text;
    convertBytesForDisplay(data, length, m_settings.charMappingOn, m_table, text);
    if (m_settings.charMappingOn || m_settings.timestampPerLine) {
        if (m_settings.timestampPerLine && m_bLineStartPending)
            text.prepend(timestamp.constData() + 1, timestamp.size() - 1);
        m_bLineStartPending
            = MapCharacters(text, false, timestamp, m_table, m_settings.charMappingOn);
        if (m_settings.timestampPerLine && m_settings.loggingOn)
            log(text.constData(), text.size());
    }
    insertText(text, received ? kReceivedColor : kSentColor);
    // The room of a block's text is used again for the next, unless a big
    // block left a lot of it.
    if (text.capacity() > kScratchKept)
        QByteArray().swap(text);
}

void CDisplayModel::appendHex(const std::uint8_t *data, int length, bool received)
{
    // Every change of direction starts a new row.
    int *column;
    if (received) {
        column = &m_nHexColumnReceived;
        m_nHexColumnSent = 0;
    } else {
        column = &m_nHexColumnSent;
        m_nHexColumnReceived = 0;
    }
    if (m_settings.loggingOn)
        log(data, length);
    insertText(renderHex(data, length, *column, m_settings.hexBytesPerLine),
               received ? kReceivedColor : kSentColor);
}

void CDisplayModel::keepWithinHardLimit(qsizetype incoming)
{
    const bool huge = incoming > kHardLimit / 2;
    const qint64 excess = m_buffer.length() + incoming - kHardLimit;
    if (!huge && excess <= 0)
        return;
    const QByteArray note = codepage::fromUnicode(
        tr("[Older text was removed here: the display keeps the last %1 MB]")
            .arg(kHardLimit / (1024 * 1024)));
    if (huge) {
        // One block larger than the display keeps: only its end is shown.
        resetTo({}, kDocumentColor);
        m_buffer.append(note + '\n', kNoteColor);
        return;
    }
    const CDisplayBuffer::Dropped dropped
        = m_buffer.dropOldest(std::max<qint64>(excess, kHardLimit / 4), note, kNoteColor);
    if (dropped.chars != 0)
        emit oldestDropped(dropped);
}

void CDisplayModel::insertText(const QByteArray &text, TextColor color)
{
    if (m_settings.displayLimitOn && m_settings.displayLimit != 0
        && m_buffer.length() > m_settings.displayLimit)
        resetTo({}, kDocumentColor);
    keepWithinHardLimit(text.size());
    if (text.size() > kHardLimit / 2)
        m_buffer.append(text.right(kHardLimit / 2), color);
    else
        m_buffer.append(text, color);
    emit appended();
}
