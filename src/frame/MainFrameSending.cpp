// What the user sends: the text input, the hex input, hotkeys and the
// hotkeys that fire on received text.
#include "MainFrame.h"

#include "display/RuKTerminalView.h"
#include "frame/CommandIds.h"
#include "frame/ConfigStore.h"
#include "frame/InputEdit.h"
#include "platform/Codepage.h"
#include "ports/PortEngine.h"

QWidget *CMainFrame::createHexInput(QWidget *parent)
{
    auto *input = new QWidget(parent);
    input->setObjectName(QStringLiteral("hexInput"));
    return input;
}

void CMainFrame::SendInputText(bool crlf)
{
    const QString typed = m_pTextInput->toPlainText();
    if (typed.isEmpty())
        return;
    QByteArray t = '\x02' + codepage::fromUnicode(typed) + '\x03';
    if (crlf)
        t += "\r\n";
    if (m_settings.clearInput)
        m_pTextInput->clear();
    m_pTextInput->setFocus();
    const bool mapping = m_settings.display.charMappingOn;
    if (mapping) {
        MapCharacters(t, true, {}, m_charMap, true);
        // The text of code 0 becomes the byte 0, which the mapping cannot
        // produce by itself.
        const QByteArray &zero = m_charMap.text(0);
        if (!zero.isEmpty())
            t.replace(zero, QByteArray(1, '\0'));
    }
    if (CPortEngine *port = currentPort())
        port->Write(t.constData(), static_cast<int>(t.size()));
    LightActivityLed(CommandId::SendLed);
    if (m_settings.localEcho && m_pView)
        m_pView->AppendToDisplay(reinterpret_cast<const std::uint8_t *>(t.constData()),
                                 static_cast<int>(t.size()), false);
}

void CMainFrame::PrepareReceiveTriggers()
{
    m_triggers.prepare(m_settings.receiveTexts, m_settings.display.charMappingOn, m_charMap);
}

void CMainFrame::CheckReceiveTriggers(const std::uint8_t *bytes, int length)
{
    for (int i : m_triggers.feed(bytes, length, m_settings.display.autoReplyMask))
        FireHotKey(i);
}

void CMainFrame::FireHotKey(int index)
{
    if (index < 0 || index >= TerminalSettings::kHotKeys)
        return;
    Q_UNUSED(index);
}

void CMainFrame::OnHotKeys()
{
    for (int i = 0; i < TerminalSettings::kHotKeys; ++i)
        m_hotKeyCaptions[i] = ConfigStore::hotKeyCaption(m_strIniPath, i);
    emit hotKeyCaptionsChanged();
    PrepareReceiveTriggers();
}

void CMainFrame::SendHexInput() {}

void CMainFrame::OnCharacterMapping()
{
    PrepareReceiveTriggers();
}
