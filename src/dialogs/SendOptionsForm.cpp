#include "SendOptionsForm.h"

#include "input/Checksum.h"
#include "input/SendFraming.h"
#include "settings/ConfigStore.h"

#include <algorithm>

QList<CSendOptionsForm::Choice> CSendOptionsForm::framingChoices()
{
    return {{tr("STX \u2026 ETX around every text, hex input and hotkey"), 1}, {tr("none"), 0}};
}

QList<CSendOptionsForm::Choice> CSendOptionsForm::lineEndChoices()
{
    QList<Choice> choices;
    for (int value : {3, 1, 2, 0})
        choices.append({SendFraming::lineEndName(value), value});
    return choices;
}

QList<CSendOptionsForm::Choice> CSendOptionsForm::checksumChoices()
{
    QList<Choice> choices;
    for (int value = 0; value < checksum::kKinds; ++value)
        choices.append({checksum::name(static_cast<checksum::Kind>(value)), value});
    return choices;
}

bool CSendOptionsForm::apply(const SendSettings &values, SendSettings &settings,
                             const QString &iniPath)
{
    SendSettings s = values;
    s.lineEnd = std::clamp(s.lineEnd, 0, SendSettings::kLineEnds - 1);
    s.checksum = std::clamp(s.checksum, 0, SendSettings::kChecksums - 1);
    s.charDelayMs = std::clamp(s.charDelayMs, 0, SendSettings::kMaxCharDelayMs);
    s.lineDelayMs = std::clamp(s.lineDelayMs, 0, SendSettings::kMaxLineDelayMs);
    settings = s;
    const auto flag = [](bool on) {
        return on ? QStringLiteral("1") : QStringLiteral("0");
    };
    return ConfigStore::writeKeys(iniPath, QStringLiteral("Send"),
                                  {{QStringLiteral("Framing"), flag(s.framing)},
                                   {QStringLiteral("LineEnd"), QString::number(s.lineEnd)},
                                   {QStringLiteral("Checksum"), QString::number(s.checksum)},
                                   {QStringLiteral("ChecksumText"), flag(s.checksumText)},
                                   {QStringLiteral("CharDelay"), QString::number(s.charDelayMs)},
                                   {QStringLiteral("LineDelay"), QString::number(s.lineDelayMs)}});
}
