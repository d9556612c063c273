// Sending files and the r+k printer file exchange: the terminal's side of the
// file sender and the printer file receiver.
#include "Terminal.h"

#include "display/DisplayModel.h"
#include "input/SendFraming.h"
#include "platform/Codepage.h"
#include "platform/StringTable.h"
#include "platform/UiServices.h"
#include "transfer/DiskFileSink.h"
#include "transfer/FileSender.h"
#include "transfer/PrinterFileReceiver.h"
#include "transfer/PrinterProtocol.h"

#include <QDir>

namespace {
// The reception's progress is told at most this often.
constexpr qint64 kReceiveProgressIntervalMs = 50;

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString withPath(int stringId, const QString &path)
{
    return loadString(stringId).replace(QLatin1String("%s"), nativePath(path));
}
} // namespace

void CTerminal::createFileTransfer()
{
    m_pReceiver = std::make_unique<CPrinterFileReceiver>();
    m_pFileSender = new CFileSender(this);
    connect(m_pFileSender, &CFileSender::echo, this, &CTerminal::echoSent);
    connect(m_pFileSender, &CFileSender::progress, this, &CTerminal::transferProgress);
    connect(m_pFileSender, &CFileSender::checksumReady, this, [this](std::uint32_t crc) {
        if (!m_bRunning)
            return;
        sendPrinterText(PrinterProtocol::sendHeader(
            m_strPrinterName, static_cast<std::uint32_t>(m_pFileSender->size()), crc));
        startFileStream(m_pFileSender->path(), false);
    });
    connect(m_pFileSender, &CFileSender::finished, this, [this](CFileSender::Outcome outcome) {
        onFileSendFinished(static_cast<int>(outcome));
    });
}

bool CTerminal::isFileSendBusy() const
{
    return m_pFileSender->isBusy();
}

CTerminal::FileOpen CTerminal::openFileToSend(const QString &path, bool toPrinter)
{
    switch (m_pFileSender->open(path)) {
    case CFileSender::OpenResult::Ok:
        break;
    case CFileSender::OpenResult::Empty:
        return FileOpen::Empty; // nothing to send
    case CFileSender::OpenResult::Unreadable:
        uiServices().beep();
        uiServices().messageBox(tr("The file [%1] cannot be read.").arg(nativePath(path)),
                                QString(), UiServices::Icon::Warning);
        return FileOpen::Failed;
    }
    // The header has room for 32 bits of size.
    if (toPrinter && m_pFileSender->size() > qint64(0xFFFFFFFFu)) {
        m_pFileSender->abort();
        uiServices().beep();
        uiServices().messageBox(tr("The file [%1] is too large for the r+k printer (4 GB at most).")
                                    .arg(nativePath(path)),
                                QString(), UiServices::Icon::Warning);
        return FileOpen::Failed;
    }
    return FileOpen::Ok;
}

void CTerminal::startFileSend()
{
    startFileStream(m_pFileSender->path(), true);
}

void CTerminal::startPrinterFileSend(const QString &printerName)
{
    m_strPrinterName = printerName;
    // The header needs the CRC of the whole file: one pass over it first, then the header
    // and the file's bytes (checksumReady).
    m_pFileSender->computeChecksum();
    emit stateChanged();
}

void CTerminal::abortFileSend()
{
    m_pFileSender->abort();
    emit stateChanged();
}

void CTerminal::sendPrinterText(const QString &text)
{
    // Framed like typed text, also in hex mode, where the input bar would
    // send the hex input instead.
    // The printer's protocol is its own: always framed, never paced.
    const bool sent
        = transmit({SendFraming::inputText(codepage::fromUnicode(text), false,
                                           m_settings.display.charMappingOn, m_charMap)},
                   false);
    if (!m_settings.display.hexMode)
        emit inputTextSent(text, sent);
}

void CTerminal::startFileStream(const QString &path, bool paced)
{
    CFileSender::Echo echo;
    if (m_settings.display.hexMode)
        echo = m_settings.localEcho ? CFileSender::Echo::Bytes : CFileSender::Echo::None;
    else
        echo = m_settings.localEcho ? CFileSender::Echo::Contents : CFileSender::Echo::Path;
    // A file is sent as it is, only its bytes spaced out as the settings say.
    m_pFileSender->startSending(currentPort(), echo, codepage::fromUnicode(nativePath(path)),
                                paced ? m_settings.send.charDelayMs : 0);
    emit activity(Led::Send);
    emit stateChanged();
}

void CTerminal::onFileSendFinished(int outcome)
{
    emit transferProgressEnded();
    const QString path = nativePath(m_pFileSender->path());
    switch (static_cast<CFileSender::Outcome>(outcome)) {
    case CFileSender::Outcome::Completed:
    case CFileSender::Outcome::LinkGone: // the port tells its own error
        break;
    case CFileSender::Outcome::ReadFailed:
        uiServices().beep();
        uiServices().messageBox(
            tr("The file [%1] could not be read to its end; the send was stopped.").arg(path),
            QString(), UiServices::Icon::Warning);
        break;
    case CFileSender::Outcome::ChangedWhileSending:
        uiServices().beep();
        uiServices().messageBox(tr("The file [%1] changed while it was being sent; the printer "
                                   "will find a bad checksum.")
                                    .arg(path),
                                QString(), UiServices::Icon::Warning);
        break;
    }
    emit stateChanged();
}

void CTerminal::ReceivePrinterFile(const QString &name, const QString &targetPath)
{
    if (!m_bRunning)
        return;
    if (m_pReceiver->isActive())
        OnCancelPrinterReception();
    m_strTargetPath = targetPath;
    m_pReceiver->start(std::make_unique<CDiskFileSink>(targetPath));
    m_receiveProgressClock.invalidate();
    sendPrinterText(PrinterProtocol::request(name));
    emit stateChanged();
}

void CTerminal::OnCancelPrinterReception()
{
    m_pReceiver->cancel();
    if (!m_pReceiver->partialFile().isEmpty())
        postMessage(tr("The reception of [%1] was cancelled.").arg(nativePath(m_strTargetPath))
                    + keptPartNote());
    endPrinterReception();
}

QString CTerminal::keptPartNote() const
{
    const QString &part = m_pReceiver->partialFile();
    if (part.isEmpty())
        return {};
    return u'\n'
           + tr("The bytes received so far are kept in [%1]; [%2] was not changed.")
                 .arg(nativePath(part), nativePath(m_strTargetPath));
}

void CTerminal::postMessage(const QString &text)
{
    // Posted: the message comes after the block that ended the reception is shown.
    QMetaObject::invokeMethod(
        this, [text] { uiServices().messageBox(text, QString(), UiServices::Icon::Warning); },
        Qt::QueuedConnection);
}

bool CTerminal::IsPrinterReceptionActive() const
{
    return m_pReceiver && m_pReceiver->isActive();
}

void CTerminal::ReceivePrinterFileData(std::uint8_t *bytes, int length)
{
    if (length <= 0)
        return;
    const auto outcome = m_pReceiver->feed(bytes, static_cast<std::size_t>(length));
    using Outcome = CPrinterFileReceiver::Outcome;
    switch (outcome) {
    case Outcome::Idle:
        return;
    case Outcome::Pending:
        if (m_pReceiver->headerComplete() && !m_pFileSender->isBusy()
            && (!m_receiveProgressClock.isValid()
                || m_receiveProgressClock.elapsed() >= kReceiveProgressIntervalMs)) {
            m_receiveProgressClock.start();
            emit transferProgress(static_cast<qint64>(m_pReceiver->bytesReceived()),
                                  static_cast<qint64>(m_pReceiver->bytesExpected()));
        }
        return;
    case Outcome::Completed:
    case Outcome::BadCrc: {
        // Posted: the message comes after the block that completed the file is shown.
        const int stringId
            = outcome == Outcome::Completed ? StringId::FileReceivedOk : StringId::FileBadCrc;
        const QString text = withPath(stringId, m_strTargetPath);
        QMetaObject::invokeMethod(
            this, [text] { uiServices().messageBox(text, QString(), UiServices::Icon::None); },
            Qt::QueuedConnection);
        break;
    }
    case Outcome::MalformedHeader:
    case Outcome::HeaderTooLong:
        uiServices().beep();
        break;
    case Outcome::WriteFailed:
        uiServices().beep();
        postMessage(tr("The file [%1] cannot be written (%2); the reception has ended.")
                        .arg(nativePath(m_strTargetPath), m_pReceiver->errorText())
                    + keptPartNote());
        break;
    }
    endPrinterReception();
}

void CTerminal::endPrinterReception()
{
    if (!m_pFileSender->isBusy())
        emit transferProgressEnded();
    emit stateChanged();
}
