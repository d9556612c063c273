// Sending files and the r+k printer file exchange: the main window's commands
// and messages around the file sender and the printer file receiver.
#include "MainFrame.h"

#include "dialogs/PrinterFileNameDlg.h"
#include "display/RuKTerminalView.h"
#include "frame/CommandIds.h"
#include "input/InputEdit.h"
#include "input/SendFraming.h"
#include "platform/Codepage.h"
#include "platform/StringTable.h"
#include "platform/UiServices.h"
#include "transfer/DiskFileSink.h"
#include "transfer/FileSender.h"
#include "transfer/PrinterFileReceiver.h"
#include "transfer/PrinterProtocol.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>

namespace {
// The reception's progress is redrawn at most this often.
constexpr qint64 kReceiveProgressIntervalMs = 50;
// The progress bar's range for transfers counted in bytes or many blocks.
constexpr int kProgressScale = 10000;

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString withPath(int stringId, const QString &path)
{
    return loadString(stringId).replace(QLatin1String("%s"), nativePath(path));
}
} // namespace

void CMainFrame::createPrinterTransfer()
{
    m_pReceiver = std::make_unique<CPrinterFileReceiver>();
    m_pFileSender = new CFileSender(this);
    connect(m_pFileSender, &CFileSender::echo, this, [this](const QByteArray &bytes) {
        if (m_pView)
            m_pView->AppendToDisplay(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                     static_cast<int>(bytes.size()), false);
    });
    connect(m_pFileSender, &CFileSender::progress, this, &CMainFrame::showTransferProgress);
    connect(m_pFileSender, &CFileSender::checksumReady, this, [this](std::uint32_t crc) {
        if (!m_bRunning)
            return;
        sendPrinterText(PrinterProtocol::sendHeader(
            m_strPrinterName, static_cast<std::uint32_t>(m_pFileSender->size()), crc));
        startFileStream(m_pFileSender->path());
    });
    connect(m_pFileSender, &CFileSender::finished, this, [this](CFileSender::Outcome outcome) {
        onFileSendFinished(static_cast<int>(outcome));
    });
}

void CMainFrame::SendFile(bool toPrinter)
{
    if (!m_pView || !m_bRunning || m_pFileSender->isBusy())
        return;
    UiServices::FileDialog dialog;
    dialog.title = loadString(StringId::SendFileTitle);
    dialog.filter = QStringLiteral("All Files (*.*)|*.*|TXT Files (*.TXT)|*.TXT||");
    dialog.defaultSuffix = QStringLiteral("*");
    const QString path = uiServices().openFileName(dialog);
    if (path.isEmpty())
        return;
    switch (m_pFileSender->open(path)) {
    case CFileSender::OpenResult::Ok:
        break;
    case CFileSender::OpenResult::Empty:
        return; // nothing to send
    case CFileSender::OpenResult::Unreadable:
        uiServices().beep();
        uiServices().messageBox(tr("The file [%1] cannot be read.").arg(nativePath(path)),
                                QString(), UiServices::Icon::Warning);
        return;
    }
    if (!toPrinter) {
        startFileStream(path);
        return;
    }
    // The header has room for 32 bits of size.
    if (m_pFileSender->size() > qint64(0xFFFFFFFFu)) {
        m_pFileSender->abort();
        uiServices().beep();
        uiServices().messageBox(tr("The file [%1] is too large for the r+k printer (4 GB at most).")
                                    .arg(nativePath(path)),
                                QString(), UiServices::Icon::Warning);
        return;
    }
    CPrinterFileNameDlg nameDialog(QFileInfo(path).fileName(), this);
    if (nameDialog.exec() != QDialog::Accepted || !m_bRunning) {
        m_pFileSender->abort();
        return;
    }
    m_strPrinterName = nameDialog.fileName();
    // The header needs the CRC of the whole file: one pass over it first, then the header
    // and the file's bytes (checksumReady).
    m_pFileSender->computeChecksum();
    updateCommandStates();
}

void CMainFrame::sendPrinterText(const QString &text)
{
    if (!m_settings.display.hexMode) {
        m_pTextInput->setPlainText(text);
        SendInputText(false);
        return;
    }
    // In hex mode the input bar would send the hex input instead.
    transmit(SendFraming::inputText(codepage::fromUnicode(text), false,
                                    m_settings.display.charMappingOn, m_charMap));
}

void CMainFrame::startFileStream(const QString &path)
{
    CFileSender::Echo echo;
    if (m_settings.display.hexMode)
        echo = m_settings.localEcho ? CFileSender::Echo::Bytes : CFileSender::Echo::None;
    else
        echo = m_settings.localEcho ? CFileSender::Echo::Contents : CFileSender::Echo::Path;
    m_pFileSender->startSending(currentPort(), echo, codepage::fromUnicode(nativePath(path)));
    LightActivityLed(CommandId::SendLed);
    updateCommandStates();
}

void CMainFrame::onFileSendFinished(int outcome)
{
    hideSendProgress();
    const QString path = nativePath(m_pFileSender->path());
    switch (static_cast<CFileSender::Outcome>(outcome)) {
    case CFileSender::Outcome::Completed:
    case CFileSender::Outcome::LinkGone: // the port shows its own error
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
    updateCommandStates();
}

void CMainFrame::OnReceivePrinterFile()
{
    if (!m_bRunning)
        return;
    CPrinterFileNameDlg nameDialog(QString(), this);
    if (nameDialog.exec() != QDialog::Accepted)
        return;
    const QString name = nameDialog.fileName();
    UiServices::FileDialog dialog;
    dialog.title = loadString(StringId::ReceiveFileTitle);
    dialog.filter = QStringLiteral("All Files (*.*)|*.*||");
    dialog.defaultSuffix = QStringLiteral("*");
    dialog.proposedName = PrinterProtocol::proposedLocalName(name);
    dialog.confirmOverwrite = false;
    const QString path = uiServices().saveFileName(dialog);
    if (path.isEmpty() || !m_bRunning)
        return;
    if (m_pReceiver->isActive())
        OnCancelPrinterReception();
    m_strTargetPath = path;
    m_pReceiver->start(std::make_unique<CDiskFileSink>(path));
    m_receiveProgressClock.invalidate();
    sendPrinterText(PrinterProtocol::request(name));
    updateCommandStates();
}

void CMainFrame::OnCancelPrinterReception()
{
    m_pReceiver->cancel();
    if (!m_pReceiver->partialFile().isEmpty())
        postMessage(tr("The reception of [%1] was cancelled.").arg(nativePath(m_strTargetPath))
                    + keptPartNote());
    endPrinterReception();
}

QString CMainFrame::keptPartNote() const
{
    const QString &part = m_pReceiver->partialFile();
    if (part.isEmpty())
        return {};
    return u'\n'
           + tr("The bytes received so far are kept in [%1]; [%2] was not changed.")
                 .arg(nativePath(part), nativePath(m_strTargetPath));
}

void CMainFrame::postMessage(const QString &text)
{
    // Posted: the message comes after the block that ended the reception is shown.
    QMetaObject::invokeMethod(
        this, [text] { uiServices().messageBox(text, QString(), UiServices::Icon::Warning); },
        Qt::QueuedConnection);
}

bool CMainFrame::IsPrinterReceptionActive() const
{
    return m_pReceiver && m_pReceiver->isActive();
}

void CMainFrame::ReceivePrinterFileData(std::uint8_t *bytes, int length)
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
            showTransferProgress(static_cast<qint64>(m_pReceiver->bytesReceived()),
                                 static_cast<qint64>(m_pReceiver->bytesExpected()));
        }
        return;
    case Outcome::Completed:
    case Outcome::BadCrc: {
        // Posted: the message comes after the block that completed the file is shown.
        const bool matched = outcome == Outcome::Completed;
        const QString path = m_strTargetPath;
        QMetaObject::invokeMethod(
            this, [this, matched, path] { OnFileReceived(matched, path); }, Qt::QueuedConnection);
        break;
    }
    case Outcome::MalformedHeader:
    case Outcome::HeaderTooLong:
        uiServices().beep();
        break;
    case Outcome::WriteFailed: {
        uiServices().beep();
        postMessage(tr("The file [%1] cannot be written (%2); the reception has ended.")
                        .arg(nativePath(m_strTargetPath), m_pReceiver->errorText())
                    + keptPartNote());
        break;
    }
    }
    endPrinterReception();
}

void CMainFrame::endPrinterReception()
{
    if (!m_pFileSender->isBusy() && !m_pSendProgress->isHidden() && m_nSendProgressTotal == 0)
        hideSendProgress();
    updateCommandStates();
}

void CMainFrame::OnFileReceived(bool crcMatched, const QString &path)
{
    uiServices().messageBox(
        withPath(crcMatched ? StringId::FileReceivedOk : StringId::FileBadCrc, path), QString(),
        UiServices::Icon::None);
}

void CMainFrame::showTransferProgress(qint64 done, qint64 total)
{
    if (total <= 0)
        return;
    done = std::clamp<qint64>(done, 0, total);
    m_nSendProgressTotal = 0; // not the port's block count: the refresh leaves it alone
    m_pSendProgress->setRange(0, kProgressScale);
    m_pSendProgress->setValue(static_cast<int>(done * kProgressScale / total));
    m_pSendProgress->show();
    m_pSendPercent->setText(QStringLiteral("%1%").arg(done * 100 / total));
}
