// What the user sends: the text input, the hex input, hotkeys and the
// hotkeys that fire on received text.
#include "MainFrame.h"

#include "dialogs/CharMapDlg.h"
#include "dialogs/HotKeyDlg.h"
#include "display/RuKTerminalView.h"
#include "frame/CommandIds.h"
#include "frame/ConfigStore.h"
#include "input/HexEdit.h"
#include "input/InputEdit.h"
#include "input/SendFraming.h"
#include "platform/Codepage.h"
#include "platform/ProfileFile.h"
#include "ports/PortEngine.h"
#include "transfer/FileSender.h"

#include <QApplication>
#include <QScopedValueRollback>
#include <QTextCursor>
#include <QTimer>

namespace {
// How often a configuration that waits for another dialog looks again.
constexpr int kPendingConfigurationRetryMs = 200;
} // namespace

QWidget *CMainFrame::createHexInput(QWidget *parent)
{
    auto *edit = new CHexEdit(parent);
    edit->setObjectName(QStringLiteral("hexInput"));
    edit->SetBytesPerRow(16);
    edit->SetOptions(false, true, false, false);
    const std::uint8_t zero = 0;
    edit->SetData(&zero, 1);
    connect(edit, &CHexEdit::enterPressed, this, [this] {
        if (m_bRunning)
            SendHexInput();
    });
    m_pHexEdit = edit;
    return edit;
}

void CMainFrame::SendInputText(bool crlf)
{
    sendTextInput(crlf, true);
}

void CMainFrame::sendTextInput(bool crlf, bool remember)
{
    if (m_settings.display.hexMode) {
        SendHexInput();
        return;
    }
    const QString typed = m_pTextInput->toPlainText();
    // Each line of a pasted text goes out as a text of its own.
    QByteArray t;
    for (const QString &line : SendFraming::inputLines(typed))
        t += SendFraming::inputText(codepage::fromUnicode(line), crlf,
                                    m_settings.display.charMappingOn, m_charMap);
    if (t.isEmpty())
        return;
    // Text that was not sent stays in the input, ready to be sent again.
    if (transmit(t)) {
        if (remember)
            m_pTextInput->remember(typed);
        if (m_settings.clearInput)
            m_pTextInput->clear();
    }
    m_pTextInput->setFocus();
}

bool CMainFrame::transmit(const QByteArray &bytes)
{
    if (m_pFileSender->holdsBackOtherSends()) {
        m_pFileSender->holdBack(bytes); // after the file, not in its middle
    } else {
        CPortEngine *port = currentPort();
        if (!port || port->Write(bytes.constData(), static_cast<int>(bytes.size())) <= 0)
            return false;
    }
    LightActivityLed(CommandId::SendLed);
    if (m_settings.localEcho && m_pView)
        m_pView->AppendToDisplay(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                 static_cast<int>(bytes.size()), false);
    return true;
}

void CMainFrame::SendHexInput()
{
    if (!m_pHexEdit)
        return;
    // The hex input may hold more than can be sent; the rest stays behind.
    std::uint8_t bytes[SendFraming::kMaxHexData];
    const int n
        = std::min(m_pHexEdit->GetData(bytes, SendFraming::kMaxHexData), SendFraming::kMaxHexData);
    if (n <= 0)
        return;
    const QByteArray t
        = SendFraming::hexInput(QByteArray(reinterpret_cast<const char *>(bytes), n));
    if (transmit(t) && m_settings.clearInput) {
        const std::uint8_t zero = 0;
        m_pHexEdit->SetData(&zero, 1);
        m_pHexEdit->viewport()->repaint();
    }
    m_pHexEdit->setFocus();
}

void CMainFrame::FireHotKey(int index)
{
    if (index < 0 || index >= TerminalSettings::kHotKeys)
        return;
    // Taken from the file at every press, so that what the hotkey dialog or an
    // editor wrote acts at once; an unchanged file is not read again.
    const profile::Snapshot &ini = m_hotKeyIni.snapshot(m_strIniPath);
    const QString section = QStringLiteral("HotKeys");
    const bool crlf = ini.getInt(section, QStringLiteral("HotKeyCRLF%1").arg(index), 0) != 0;
    const bool hex = ini.getInt(section, QStringLiteral("HotKeyHex%1").arg(index), 0) != 0;
    const QString text = ini.getString(section, QStringLiteral("HotKeyText%1").arg(index),
                                       QString(), SendFraming::kMaxHotKeyText);

    if (!m_bRunning || (text.isEmpty() && !crlf)) {
        requestHotKeyConfiguration();
        return;
    }
    if (m_settings.display.hexMode) {
        const QByteArray bytes = hex ? SendFraming::hotKeyHexBytes(text, crlf)
                                     : SendFraming::hotKeyTextBytes(
                                         text, crlf, m_settings.display.charMappingOn, m_charMap);
        // Nothing to send (a hex text of blanks only); the hex input keeps
        // what the user typed rather than being sent.
        if (bytes.isEmpty() || !m_pHexEdit)
            return;
        m_pHexEdit->SetData(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                            static_cast<int>(bytes.size()));
        m_pHexEdit->viewport()->repaint();
    } else {
        m_pTextInput->setPlainText(text);
    }
    // What a hotkey sends is no typed text to recall.
    sendTextInput(crlf, false);
}

void CMainFrame::requestHotKeyConfiguration()
{
    if (m_bHotKeyDlgOpen)
        return; // it is open already: one is enough
    // A dialog opened from inside a received block (a trigger) or on top of
    // another dialog would run its own event loop there and show further
    // blocks out of turn; it waits until the block and the dialog are done.
    if (m_bCheckingTriggers || m_bShowingBlocks || QApplication::activeModalWidget()) {
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
    if (m_bShowingBlocks || QApplication::activeModalWidget()) {
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
        CHotKeyDlg dialog(m_strIniPath, m_settings.receiveTexts, m_settings.display.autoReplyMask,
                          this);
        dialog.exec();
    }
    // Whatever the dialog's result: the captions and triggers as the file now has them.
    for (int i = 0; i < TerminalSettings::kHotKeys; ++i)
        m_hotKeyCaptions[i] = ConfigStore::hotKeyCaption(m_strIniPath, i);
    emit hotKeyCaptionsChanged();
    PrepareReceiveTriggers();
}

void CMainFrame::OnCharacterMapping()
{
    {
        CCharMapDlg dialog(m_charMap, m_settings.display.charMappingOn, m_strIniPath, this);
        dialog.exec();
    }
    PrepareReceiveTriggers();
    emit stateChanged();
}

void CMainFrame::PrepareReceiveTriggers()
{
    m_triggers.prepare(m_settings.receiveTexts, m_settings.display.charMappingOn, m_charMap);
}

void CMainFrame::CheckReceiveTriggers(const std::uint8_t *bytes, int length)
{
    QScopedValueRollback checking(m_bCheckingTriggers, true);
    const std::vector<int> fired = m_triggers.feed(bytes, length, m_settings.display.autoReplyMask);
    if (fired.empty())
        return;
    // An auto-reply goes out through the inputs as a pressed hotkey does, but
    // what the user is typing there meanwhile stays as it was.
    const QString typed = m_pTextInput->toPlainText();
    const int cursor = m_pTextInput->textCursor().position();
    std::vector<std::uint8_t> hex(static_cast<std::size_t>(m_pHexEdit->GetData(nullptr, 0)));
    m_pHexEdit->GetData(hex.data(), static_cast<int>(hex.size()));
    for (int i : fired)
        FireHotKey(i);
    if (m_pTextInput->toPlainText() != typed) {
        m_pTextInput->setPlainText(typed);
        QTextCursor at = m_pTextInput->textCursor();
        at.setPosition(std::min(cursor, static_cast<int>(typed.size())));
        m_pTextInput->setTextCursor(at);
    }
    if (m_pHexEdit->model().data() != hex && !hex.empty()) {
        m_pHexEdit->SetData(hex.data(), static_cast<int>(hex.size()));
        m_pHexEdit->viewport()->update();
    }
}
