// What the terminal sends: typed text, hex bytes, hotkeys and the hotkeys
// that fire on received text, framed, checked and paced as the send settings say.
#include "Terminal.h"

#include "display/DisplayModel.h"
#include "input/SendFraming.h"
#include "platform/Codepage.h"
#include "platform/UiServices.h"
#include "ports/PortEngine.h"
#include "terminal/SendReport.h"
#include "transfer/FileSender.h"

#include <QScopedValueRollback>

#include <algorithm>

namespace {
// A paced send expected to take at least this long shows its progress.
constexpr qint64 kPacedProgressMs = 1000;

QString hotKeyNames(std::uint32_t mask)
{
    QStringList names;
    for (int i = 0; i < TerminalSettings::kHotKeys; ++i) {
        if (mask & (1u << i))
            names << QStringLiteral("F%1").arg(i + 1);
    }
    return names.join(QStringLiteral(", "));
}
} // namespace

CTerminal::SendResult CTerminal::SendText(const QString &typed, bool crlf)
{
    // Each line of a pasted text goes out as a text of its own.
    const SendFraming::Options options = sendreport::framingOptions(m_settings.send);
    QList<QByteArray> sends;
    for (const QString &line : SendFraming::inputLines(typed))
        sends << SendFraming::inputText(codepage::fromUnicode(line), crlf,
                                        m_settings.display.charMappingOn, m_charMap, options);
    if (sends.isEmpty())
        return SendResult::Nothing;
    return transmit(sends) ? SendResult::Sent : SendResult::Refused;
}

CTerminal::SendResult CTerminal::SendHexBytes(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return SendResult::Nothing;
    // The hex input may hold more than can be sent; the rest stays behind.
    return transmit({SendFraming::hexInput(bytes.left(SendFraming::kMaxHexData),
                                           sendreport::framingOptions(m_settings.send))})
               ? SendResult::Sent
               : SendResult::Refused;
}

bool CTerminal::transmit(const QList<QByteArray> &sends, bool paced)
{
    const SendSettings &s = m_settings.send;
    const TxPacing pacing
        = paced && s.paced() ? TxPacing{s.charDelayMs, s.lineDelayMs} : TxPacing{};
    // Unpaced, the sends go as one write, cut into blocks as they always were.
    const QList<QByteArray> writes = pacing.paced() ? sends : QList<QByteArray>{sends.join()};
    QList<QByteArray> queued;
    if (m_pFileSender->holdsBackOtherSends()) {
        for (const QByteArray &bytes : writes)
            m_pFileSender->holdBack(bytes, pacing); // after the file, not in its middle
        queued = writes;
    } else {
        CPortEngine *port = currentPort();
        int blocks = 0;
        // A send the port refuses is told by the port; those before it went.
        for (const QByteArray &bytes : writes) {
            const int n = port ? port->Write(bytes.constData(), static_cast<int>(bytes.size()),
                                             nullptr, pacing)
                               : 0;
            if (n > 0) {
                blocks += n;
                queued << bytes;
            }
        }
        if (queued.isEmpty())
            return false;
        if (pacing.paced())
            showPacedProgress(queued, blocks);
    }
    emit activity(Led::Send);
    if (m_settings.localEcho)
        echoSent(queued.join());
    return true;
}

void CTerminal::showPacedProgress(const QList<QByteArray> &sends, int blocks)
{
    const SendSettings &s = m_settings.send;
    qint64 ms = 0;
    for (const QByteArray &bytes : sends)
        ms += (bytes.size() - 1) * s.charDelayMs + std::max(s.charDelayMs, s.lineDelayMs);
    if (ms >= kPacedProgressMs)
        StartSendProgress(blocks);
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
    if (!m_settings.send.framing && key.hex) {
        // Nothing half-parsed goes out: its text, and its receive text while
        // its trigger is on, must be whole pairs of hex digits.
        key.rawHex = true;
        const bool triggerOn = (m_settings.display.autoReplyMask >> index) & 1u;
        key.leftOut = !SendFraming::wholeHexPairs(key.text)
                      || (triggerOn && !SendFraming::wholeHexPairs(m_settings.receiveTexts[index]));
    }
    return key;
}

QByteArray CTerminal::hotKeyHexInput(const HotKey &key) const
{
    const QByteArray end = key.crlf ? SendFraming::lineEnd(m_settings.send.lineEnd) : QByteArray();
    if (key.rawHex)
        return key.leftOut ? QByteArray() : SendFraming::wholeHexPairs(key.text).value() + end;
    return key.hex ? SendFraming::hotKeyHexBytes(key.text, end)
                   : SendFraming::hotKeyTextBytes(key.text, end, m_settings.display.charMappingOn,
                                                  m_charMap);
}

void CTerminal::tellHotKeyLeftOut(int index)
{
    uiServices().beep();
    emit statusMessage(tr("F%1 was not sent: with framing \"none\" its Hex-Data must be whole "
                          "pairs of hex digits (Settings > Hotkeys...).")
                           .arg(index + 1));
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
    if (key.leftOut) {
        tellHotKeyLeftOut(index);
        return;
    }
    // As the inputs would send it: in hex mode through the hex input, so
    // the line end comes before ETX and the checksum.
    if (m_settings.display.hexMode) {
        SendHexBytes(hotKeyHexInput(key));
    } else if (key.rawHex) {
        // Its bytes, as a binary device wants them: then the checksum, then the line end.
        const QByteArray bytes = SendFraming::wholeHexPairs(key.text).value();
        if (!bytes.isEmpty())
            transmit({SendFraming::hexHotKey(bytes, key.crlf,
                                             sendreport::framingOptions(m_settings.send))});
    } else {
        SendText(key.text, key.crlf);
    }
}

void CTerminal::PrepareReceiveTriggers()
{
    // With framing off a Hex-Data hotkey's receive text is bytes too, and a
    // hotkey whose hex digits are not whole pairs is left out altogether.
    std::array<QString, TerminalSettings::kHotKeys> texts = m_settings.receiveTexts;
    std::uint32_t hexMask = 0;
    std::uint32_t leftOut = 0;
    for (int i = 0; i < TerminalSettings::kHotKeys && !m_settings.send.framing; ++i) {
        const HotKey key = hotKey(i);
        if (key.rawHex)
            hexMask |= 1u << i;
        if (key.leftOut) {
            leftOut |= 1u << i;
            texts[i].clear();
        }
    }
    m_triggers.prepare(texts, m_settings.display.charMappingOn, m_charMap, hexMask);
    if (leftOut != 0)
        emit statusMessage(tr("Left out of sending and auto-reply: %1. With framing \"none\" "
                              "their Hex-Data must be whole pairs of hex digits.")
                               .arg(hotKeyNames(leftOut)));
}

void CTerminal::sendSettingsChanged()
{
    PrepareReceiveTriggers();
    emit linkStateChanged();
}

void CTerminal::CheckReceiveTriggers(const std::uint8_t *bytes, int length)
{
    QScopedValueRollback checking(m_bCheckingTriggers, true);
    // What the user is typing meanwhile stays where it is: an auto-reply
    // never goes through the inputs.
    for (int i : m_triggers.feed(bytes, length, m_settings.display.autoReplyMask))
        FireHotKey(i);
}
