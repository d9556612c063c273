#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The texts sent from the text input, for recalling them as a shell does:
// Up goes to older ones, Down back to newer ones and at last to what was
// being typed when the recalling began. Kept for the run only.
class CInputHistory final
{
public:
    static constexpr int kMaxEntries = 200;

    // A text that was sent; empty texts and a repeat of the newest one are
    // not kept. Ends any recalling.
    void add(const QString &text);
    // The next older text that differs from `current` (what the input shows),
    // or nothing when there is none.
    std::optional<QString> older(const QString &current);
    // The next newer text, or what was typed before the recalling began;
    // nothing when not recalling.
    std::optional<QString> newer();

    const QStringList &entries() const { return m_entries; }

private:
    QStringList m_entries;    // oldest first
    qsizetype m_position = 0; // index of the text shown; m_entries.size(): the draft
    QString m_draft;
};
