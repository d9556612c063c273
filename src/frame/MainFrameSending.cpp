// What the user sends from the window: the text input, the hex input, the
// hotkeys with their configuration, and files with the dialogs they need.
#include "MainFrame.h"

#include "dialogs/CharMapDlg.h"
#include "dialogs/HotKeyDlg.h"
#include "dialogs/PrinterFileNameDlg.h"
#include "input/HexEdit.h"
#include "input/InputEdit.h"
#include "input/SendFraming.h"
#include "platform/StringTable.h"
#include "platform/UiServices.h"
#include "transfer/PrinterProtocol.h"

#include <QApplication>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QTimer>

namespace {
// How often a configuration that waits for another dialog looks again.
constexpr int kPendingConfigurationRetryMs = 200;
} // namespace

void CMainFrame::SendInputText(bool crlf)
{
    sendTextInput(crlf, true);
}

void CMainFrame::sendTextInput(bool crlf, bool remember)
{
    if (settings().display.hexMode) {
        SendHexInput();
        return;
    }
    CInputEdit *input = textInput();
    const QString typed = input->toPlainText();
    const CTerminal::SendResult result = m_pTerminal->SendText(typed, crlf);
    if (result == CTerminal::SendResult::Nothing)
        return;
    // Text that was not sent stays in the input, ready to be sent again.
    if (result == CTerminal::SendResult::Sent) {
        if (remember)
            input->remember(typed);
        if (settings().clearInput)
            input->clear();
    }
    input->setFocus();
}

void CMainFrame::showInputTextSent(const QString &text, bool sent)
{
    // A printer header or request goes through the text input as typed text does.
    CInputEdit *input = textInput();
    input->setPlainText(text);
    if (sent) {
        input->remember(text);
        if (settings().clearInput)
            input->clear();
    }
    input->setFocus();
}

void CMainFrame::SendHexInput()
{
    CHexEdit *edit = hexEdit();
    // The hex input may hold more than can be sent; the rest stays behind.
    std::uint8_t bytes[SendFraming::kMaxHexData];
    const int n
        = std::min(edit->GetData(bytes, SendFraming::kMaxHexData), SendFraming::kMaxHexData);
    if (n <= 0)
        return;
    const QByteArray typed(reinterpret_cast<const char *>(bytes), n);
    if (m_pTerminal->SendHexBytes(typed) == CTerminal::SendResult::Sent && settings().clearInput) {
        const std::uint8_t zero = 0;
        edit->SetData(&zero, 1);
        edit->viewport()->repaint();
    }
    edit->setFocus();
}

void CMainFrame::FireHotKey(int index)
{
    if (index < 0 || index >= TerminalSettings::kHotKeys)
        return;
    const CTerminal::HotKey key = m_pTerminal->hotKey(index);
    if (key.configure) {
        requestHotKeyConfiguration();
        return;
    }
    // Raw hex bytes in text mode, or a hotkey left out: no input takes part.
    if (key.leftOut || (key.rawHex && !settings().display.hexMode))
        return m_pTerminal->FireHotKey(index);
    // A pressed hotkey goes out through the input now shown, as if typed.
    if (settings().display.hexMode) {
        const QByteArray bytes = m_pTerminal->hotKeyHexInput(key);
        // Nothing to send (a hex text of blanks only); the hex input keeps
        // what the user typed rather than being sent.
        if (bytes.isEmpty())
            return;
        hexEdit()->SetData(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                           static_cast<int>(bytes.size()));
        hexEdit()->viewport()->repaint();
    } else {
        textInput()->setPlainText(key.text);
    }
    // What a hotkey sends is no typed text to recall.
    sendTextInput(key.crlf, false);
}

void CMainFrame::requestHotKeyConfiguration()
{
    if (m_bHotKeyDlgOpen)
        return; // it is open already: one is enough
    // A dialog opened from inside a received block (a trigger) or on top of
    // another dialog would run its own event loop there and show further
    // blocks out of turn; it waits until the block and the dialog are done.
    if (m_pTerminal->isShowingBlocks() || QApplication::activeModalWidget()) {
        if (!m_bHotKeyConfigPending) {
            m_bHotKeyConfigPending = true;
            QMetaObject::invokeMethod(this, &CMainFrame::openPendingHotKeyConfiguration,
                                      Qt::QueuedConnection);
        }
        return;
    }
    OnHotKeys();
}

void CMainFrame::openPendingHotKeyConfiguration()
{
    if (!m_bHotKeyConfigPending)
        return;
    if (m_pTerminal->isShowingBlocks() || QApplication::activeModalWidget()) {
        QTimer::singleShot(kPendingConfigurationRetryMs, this,
                           &CMainFrame::openPendingHotKeyConfiguration);
        return;
    }
    OnHotKeys();
}

void CMainFrame::OnHotKeys()
{
    if (m_bHotKeyDlgOpen)
        return;
    m_bHotKeyConfigPending = false;
    {
        QScopedValueRollback open(m_bHotKeyDlgOpen, true);
        CHotKeyDlg dialog(iniPath(), settings().receiveTexts, settings().display.autoReplyMask,
                          settings().send.framing, this);
        dialog.exec();
    }
    // Whatever the dialog's result: the captions and triggers as the file now has them.
    m_pTerminal->reloadHotKeyCaptions();
    m_pTerminal->PrepareReceiveTriggers();
}

void CMainFrame::OnCharacterMapping()
{
    {
        CCharMapDlg dialog(charMapTable(), settings().display.charMappingOn, iniPath(), this);
        dialog.exec();
    }
    m_pTerminal->PrepareReceiveTriggers();
    emit stateChanged();
}

void CMainFrame::SendFile(bool toPrinter)
{
    if (!isRunning() || m_pTerminal->isFileSendBusy())
        return;
    UiServices::FileDialog dialog;
    dialog.title = loadString(StringId::SendFileTitle);
    dialog.filter = QStringLiteral("All Files (*.*)|*.*|TXT Files (*.TXT)|*.TXT||");
    dialog.defaultSuffix = QStringLiteral("*");
    const QString path = uiServices().openFileName(dialog);
    if (path.isEmpty() || m_pTerminal->openFileToSend(path, toPrinter) != CTerminal::FileOpen::Ok)
        return;
    if (!toPrinter) {
        m_pTerminal->startFileSend();
        return;
    }
    CPrinterFileNameDlg nameDialog(QFileInfo(path).fileName(), this);
    if (nameDialog.exec() != QDialog::Accepted || !isRunning()) {
        m_pTerminal->abortFileSend();
        return;
    }
    m_pTerminal->startPrinterFileSend(nameDialog.fileName());
}

void CMainFrame::OnReceivePrinterFile()
{
    if (!isRunning())
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
    if (!path.isEmpty())
        m_pTerminal->ReceivePrinterFile(name, path);
}
