#pragma once

#include "ports/PortEngine.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <utility>
#include <vector>

// Sends a file over the running port without holding it in memory: the file
// is read and queued a piece at a time while the port's writer drains what is
// queued, so memory stays bounded whatever the file's size and the window
// stays responsive. For the printer the CRC-32 of the whole file is taken
// first, in slices between the window's events, and checked again while the
// bytes go out.
class CFileSender final : public QObject
{
    Q_OBJECT
public:
    // What the display shows of the sent file.
    enum class Echo {
        None,     // nothing (hex mode without local echo)
        Bytes,    // the bytes as they are (hex mode with local echo)
        Contents, // "-> [" contents "]\n", 0x00 shown as "." (local echo)
        Path,     // "-> [" path "]\n" (no local echo)
    };
    enum class OpenResult { Ok, Unreadable, Empty };
    enum class Outcome {
        Completed,
        ReadFailed,          // the file could not be read to its end
        ChangedWhileSending, // its bytes differ from those the CRC was taken of
        LinkGone,            // the port took no more data
    };

    // A piece is a whole number of transmit blocks, so the blocks queued add up
    // to the file's block count.
    static constexpr int kBlockSize = 255;
    static constexpr qint64 kPieceBlocks = 1024;
    static constexpr qint64 kPieceSize = kPieceBlocks * kBlockSize;
    // The most the port's queue holds of the file (about 3 MB): no more is read ahead.
    static constexpr qint64 kMaxQueuedBlocks = 12 * kPieceBlocks;

    explicit CFileSender(QObject *parent = nullptr);
    ~CFileSender() override;

    // Opens the file and notes its size; nothing is read yet.
    OpenResult open(const QString &path);
    qint64 size() const { return m_size; }
    QString path() const { return m_file.fileName(); }
    // Blocks of the whole file, the 100 % mark of the progress.
    qint64 totalBlocks() const { return (m_size + kBlockSize - 1) / kBlockSize; }

    // Reads the file once for its CRC-32; checksumReady() or finished(ReadFailed) follows.
    void computeChecksum();
    // Starts queueing the file to `port`. `echo` and `pathText` (the path as
    // shown) decide what echo() carries; `charDelayMs` spaces its bytes out.
    void startSending(CPortEngine *port, Echo echoMode, const QByteArray &pathText,
                      int charDelayMs = 0);
    // Ends at once; nothing more is queued or reported. Returns the bytes of
    // other sends that were held back behind the file and now go nowhere.
    qsizetype abort();

    // A send is running: from computeChecksum() or startSending() until finished().
    bool isBusy() const { return m_phase != Phase::Idle; }
    // While pieces of the file are still to come, what other senders write
    // waits here and follows the file, so that nothing lands in its middle.
    bool holdsBackOtherSends() const { return m_phase == Phase::Streaming; }
    void holdBack(const QByteArray &bytes, const TxPacing &pacing = {});

signals:
    void checksumReady(std::uint32_t crc);
    // Text or bytes for the display, as sent data.
    void echo(const QByteArray &bytes);
    // Blocks of the file written so far, of `total`; at most every 50 ms.
    void progress(qint64 written, qint64 total);
    void finished(CFileSender::Outcome outcome);

private:
    enum class Phase { Idle, Checksum, Streaming, Draining };

    void tick();
    void checksumSlice();
    void streamSlice();
    bool queueNextPiece();
    bool readPiece(qint64 length);
    void emitEcho(QByteArray piece, bool first, bool last);
    qint64 blocksWritten() const;
    void reportProgress(bool force);
    void end(Outcome outcome);
    void writeDeferred();

    QFile m_file;
    qint64 m_size = 0;
    qint64 m_offset = 0;
    Phase m_phase = Phase::Idle;
    QTimer m_timer;
    QByteArray m_buffer;

    bool m_crcKnown = false; // m_crc holds the CRC of the whole file
    std::uint32_t m_crc = 0;
    std::uint32_t m_runningCrc = 0;

    CPortEngine *m_port = nullptr;
    qint64 m_blocksQueued = 0; // file blocks queued so far
    qint64 m_writtenBase = 0;  // blocks known to be written before the last Write
    TxPacing m_pacing;
    // Other sends held back behind the file, each with its own pacing.
    std::vector<std::pair<QByteArray, TxPacing>> m_deferred;

    Echo m_echo = Echo::None;
    QByteArray m_heldCr; // a CR at the end of a piece waits for a possible LF
    QElapsedTimer m_sinceProgress;
};
