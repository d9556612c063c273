#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <mutex>

// Records every text the program logs, from any thread, while it exists.
class LogCapture final
{
public:
    LogCapture()
        : m_previous(qInstallMessageHandler(&LogCapture::handle))
    {
        s_current = this;
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    Q_DISABLE_COPY(LogCapture)

    // How often `text` was logged (as a whole, or as a part of a text).
    int count(const QString &text, bool part = false) const
    {
        std::lock_guard lock(m_mutex);
        return int(std::count_if(m_texts.begin(), m_texts.end(), [&](const QString &t) {
            return part ? t.contains(text) : t == text;
        }));
    }

private:
    static void handle(QtMsgType, const QMessageLogContext &, const QString &text)
    {
        if (LogCapture *self = s_current) {
            std::lock_guard lock(self->m_mutex);
            self->m_texts << text;
        }
    }

    static inline std::atomic<LogCapture *> s_current{nullptr};
    QtMessageHandler m_previous;
    mutable std::mutex m_mutex;
    QStringList m_texts;
};
