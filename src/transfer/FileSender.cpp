#include "FileSender.h"

#include "ports/PortEngine.h"
#include "transfer/Crc32.h"

#include <algorithm>

namespace {
// Below this the queue is topped up without pause, so the writer never waits
// for the window.
constexpr qint64 kLowWaterBlocks = CFileSender::kMaxQueuedBlocks * 2 / 3;
constexpr int kStreamTickMs = 5;
constexpr int kDrainTickMs = 20;
// The CRC pass reads this long per turn of the event loop.
constexpr qint64 kChecksumSliceNs = 15 * 1000 * 1000;
constexpr qint64 kProgressIntervalMs = 50;
} // namespace

CFileSender::CFileSender(QObject *parent)
    : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &CFileSender::tick);
}

CFileSender::~CFileSender() = default;

CFileSender::OpenResult CFileSender::open(const QString &path)
{
    abort();
    m_file.setFileName(path);
    m_size = 0;
    m_crcKnown = false;
    if (!m_file.open(QIODevice::ReadOnly))
        return OpenResult::Unreadable;
    m_size = m_file.size();
    if (m_size <= 0) {
        m_file.close();
        return OpenResult::Empty;
    }
    return OpenResult::Ok;
}

qsizetype CFileSender::abort()
{
    qsizetype heldBack = 0;
    for (const auto &send : m_deferred)
        heldBack += send.first.size();
    m_timer.stop();
    m_phase = Phase::Idle;
    m_port = nullptr;
    m_deferred.clear();
    m_heldCr.clear();
    m_buffer = QByteArray(); // the memory goes with the send
    m_file.close();
    return heldBack;
}

bool CFileSender::readPiece(qint64 length)
{
    if (m_buffer.size() < kPieceSize)
        m_buffer.resize(kPieceSize);
    return m_file.read(m_buffer.data(), length) == length;
}

void CFileSender::computeChecksum()
{
    if (!m_file.isOpen() || !m_file.seek(0)) {
        end(Outcome::ReadFailed);
        return;
    }
    m_offset = 0;
    m_runningCrc = kCrc32Preset;
    m_phase = Phase::Checksum;
    m_timer.start(0);
}

void CFileSender::checksumSlice()
{
    QElapsedTimer slice;
    slice.start();
    while (m_offset < m_size && slice.nsecsElapsed() < kChecksumSliceNs) {
        const qint64 n = std::min(kPieceSize, m_size - m_offset);
        if (!readPiece(n)) {
            end(Outcome::ReadFailed);
            return;
        }
        m_runningCrc = UpdateCrc32(m_runningCrc, m_buffer.constData(), static_cast<std::size_t>(n));
        m_offset += n;
    }
    if (m_offset < m_size)
        return;
    m_timer.stop();
    m_crc = ~m_runningCrc;
    m_crcKnown = true;
    m_phase = Phase::Idle;
    emit checksumReady(m_crc);
}

void CFileSender::startSending(CPortEngine *port, Echo echoMode, const QByteArray &pathText,
                               int charDelayMs)
{
    if (!m_file.isOpen() || !port || !m_file.seek(0)) {
        end(Outcome::ReadFailed);
        return;
    }
    m_port = port;
    m_pacing = TxPacing{charDelayMs, 0};
    m_echo = echoMode;
    m_offset = 0;
    m_runningCrc = kCrc32Preset;
    m_blocksQueued = 0;
    m_writtenBase = 0;
    m_heldCr.clear();
    m_deferred.clear();
    m_phase = Phase::Streaming;
    m_sinceProgress.start();
    if (echoMode == Echo::Path)
        emit echo(QByteArray("-> [") + pathText + "]\n");
    emit progress(0, totalBlocks());
    // The first piece goes out at once, right behind whatever was queued before.
    streamSlice();
}

void CFileSender::tick()
{
    switch (m_phase) {
    case Phase::Idle:
        m_timer.stop();
        break;
    case Phase::Checksum:
        checksumSlice();
        break;
    case Phase::Streaming:
        streamSlice();
        break;
    case Phase::Draining:
        if (!m_port->IsWritePending())
            end(m_crcKnown && ~m_runningCrc != m_crc ? Outcome::ChangedWhileSending
                                                     : Outcome::Completed);
        else
            reportProgress(false);
        break;
    }
}

qint64 CFileSender::blocksWritten() const
{
    // The port counts the blocks written since the last Write; an empty queue
    // means everything queued is out.
    if (!m_port->IsWritePending())
        return m_blocksQueued;
    return std::min(m_blocksQueued, m_writtenBase + m_port->GetBlocksWritten());
}

void CFileSender::streamSlice()
{
    // One piece per turn of the event loop, so that echoing it into the
    // display never holds the window up for long.
    qint64 queued = m_blocksQueued - blocksWritten();
    if (queued < kMaxQueuedBlocks && m_offset < m_size) {
        if (!queueNextPiece())
            return;
        queued = m_blocksQueued - m_writtenBase;
    }
    if (m_offset < m_size) {
        // Straight on while the queue is low, otherwise a look now and then.
        const int interval = queued < kLowWaterBlocks ? 0 : kStreamTickMs;
        if (m_timer.interval() != interval || !m_timer.isActive())
            m_timer.start(interval);
        reportProgress(false);
        return;
    }
    // Everything is queued: what others sent meanwhile follows the file.
    m_phase = Phase::Draining;
    if (!m_deferred.empty()) {
        m_writtenBase = blocksWritten();
        writeDeferred();
    }
    m_buffer = QByteArray();
    m_timer.start(kDrainTickMs);
    reportProgress(false);
}

bool CFileSender::queueNextPiece()
{
    const qint64 n = std::min(kPieceSize, m_size - m_offset);
    if (!readPiece(n)) {
        end(Outcome::ReadFailed);
        return false;
    }
    if (m_crcKnown)
        m_runningCrc = UpdateCrc32(m_runningCrc, m_buffer.constData(), static_cast<std::size_t>(n));
    // The count restarts with every Write: note what was written before it.
    m_writtenBase = blocksWritten();
    const int blocks = m_port->Write(m_buffer.constData(), static_cast<int>(n), nullptr, m_pacing);
    if (blocks <= 0) {
        end(Outcome::LinkGone);
        return false;
    }
    const bool first = m_offset == 0;
    m_blocksQueued += blocks;
    m_offset += n;
    if (m_echo == Echo::Bytes || m_echo == Echo::Contents)
        emitEcho(m_buffer.left(n), first, m_offset == m_size);
    return true;
}

void CFileSender::emitEcho(QByteArray piece, bool first, bool last)
{
    if (m_echo == Echo::Bytes) {
        emit echo(piece);
        return;
    }
    if (piece.contains('\0'))
        piece.replace('\0', '.');
    if (first)
        piece.prepend("-> [");
    piece.prepend(m_heldCr);
    m_heldCr.clear();
    if (last) {
        piece.append("]\n");
    } else if (piece.endsWith('\r')) {
        // A CR LF split between two pieces is still one line break.
        m_heldCr = "\r";
        piece.chop(1);
    }
    if (!piece.isEmpty())
        emit echo(piece);
}

void CFileSender::holdBack(const QByteArray &bytes, const TxPacing &pacing)
{
    // Unpaced sends follow the file in one write, cut into blocks as one.
    if (!pacing.paced() && !m_deferred.empty() && !m_deferred.back().second.paced())
        m_deferred.back().first += bytes;
    else
        m_deferred.emplace_back(bytes, pacing);
}

void CFileSender::writeDeferred()
{
    // A port that refuses them tells the user itself.
    for (const auto &[bytes, pacing] : m_deferred)
        m_port->Write(bytes.constData(), static_cast<int>(bytes.size()), nullptr, pacing);
    m_deferred.clear();
}

void CFileSender::reportProgress(bool force)
{
    if (!force && m_sinceProgress.elapsed() < kProgressIntervalMs)
        return;
    m_sinceProgress.restart();
    emit progress(blocksWritten(), totalBlocks());
}

void CFileSender::end(Outcome outcome)
{
    if (m_port && !m_deferred.empty())
        writeDeferred();
    if (m_port && outcome != Outcome::LinkGone)
        reportProgress(true);
    abort();
    emit finished(outcome);
}
