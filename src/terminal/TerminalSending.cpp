// What the terminal sends: typed text, hex bytes, hotkeys and the hotkeys
// that fire on received text.
#include "Terminal.h"

#include "display/DisplayModel.h"
#include "input/SendFraming.h"
#include "platform/Codepage.h"
#include "ports/PortEngine.h"
#include "transfer/FileSender.h"

#include <QScopedValueRollback>

CTerminal::SendResult CTerminal::SendText(const QString &typed, bool crlf)
{
    // Each line of a pasted text goes out as a text of its own.
    QByteArray t;
    for (const QString &line : SendFraming::inputLines(typed))
        t += SendFraming::inputText(codepage::fromUnicode(line), crlf,
                                    m_settings.display.charMappingOn, m_charMap);
    if (t.isEmpty())
        return SendResult::Nothing;
    return transmit(t) ? SendResult::Sent : SendResult::Refused;
}

CTerminal::SendResult CTerminal::SendHexBytes(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return SendResult::Nothing;
    // The hex input may hold more than can be sent; the rest stays behind.
    return transmit(SendFraming::hexInput(bytes.left(SendFraming::kMaxHexData)))
               ? SendResult::Sent
               : SendResult::Refused;
}

bool CTerminal::transmit(const QByteArray &bytes)
{
    if (m_pFileSender->holdsBackOtherSends()) {
        m_pFileSender->holdBack(bytes); // after the file, not in its middle
    } else {
        CPortEngine *port = currentPort();
        if (!port || port->Write(bytes.constData(), static_cast<int>(bytes.size())) <= 0)
            return false;
    }
    emit activity(Led::Send);
    if (m_settings.localEcho)
        echoSent(bytes);
    return true;
}

void CTerminal::StartSendProgress(int blocks)
{
    if (blocks > 0)
        emit sendProgressStarted(blocks);
}

bool CTerminal::isWritePending() const
{
    const CPortEngine *port = currentPort();
    return m_bRunning && port && port->IsWritePending();
}

int CTerminal::blocksWritten() const
{
    const CPortEngine *port = currentPort();
    return port ? port->GetBlocksWritten() : 0;
}

CTerminal::HotKey CTerminal::hotKey(int index)
{
    HotKey key;
    if (index < 0 || index >= TerminalSettings::kHotKeys)
        return key;
    // Taken from the file at every press, so that what the hotkey dialog or an
    // editor wrote acts at once; an unchanged file is not read again.
    const profile::Snapshot &ini = m_hotKeyIni.snapshot(m_strIniPath);
    const QString section = QStringLiteral("HotKeys");
    key.crlf = ini.getInt(section, QStringLiteral("HotKeyCRLF%1").arg(index), 0) != 0;
    key.hex = ini.getInt(section, QStringLiteral("HotKeyHex%1").arg(index), 0) != 0;
    key.text = ini.getString(section, QStringLiteral("HotKeyText%1").arg(index), QString(),
                             SendFraming::kMaxHotKeyText);
    key.configure = !m_bRunning || (key.text.isEmpty() && !key.crlf);
    return key;
}

QByteArray CTerminal::hotKeyHexInput(const HotKey &key) const
{
    return key.hex ? SendFraming::hotKeyHexBytes(key.text, key.crlf)
                   : SendFraming::hotKeyTextBytes(key.text, key.crlf,
                                                  m_settings.display.charMappingOn, m_charMap);
}

void CTerminal::FireHotKey(int index)
{
    if (index < 0 || index >= TerminalSettings::kHotKeys)
        return;
    const HotKey key = hotKey(index);
    if (key.configure) {
        emit hotKeyConfigurationRequested();
        return;
    }
    // As the inputs would send it: in hex mode through the hex input, so
    // CR LF comes before ETX.
    if (m_settings.display.hexMode)
        SendHexBytes(hotKeyHexInput(key));
    else
        SendText(key.text, key.crlf);
}

void CTerminal::PrepareReceiveTriggers()
{
    m_triggers.prepare(m_settings.receiveTexts, m_settings.display.charMappingOn, m_charMap);
}

void CTerminal::CheckReceiveTriggers(const std::uint8_t *bytes, int length)
{
    QScopedValueRollback checking(m_bCheckingTriggers, true);
    // What the user is typing meanwhile stays where it is: an auto-reply
    // never goes through the inputs.
    for (int i : m_triggers.feed(bytes, length, m_settings.display.autoReplyMask))
        FireHotKey(i);
}
