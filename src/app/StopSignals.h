#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT and SIGTERM as a Qt signal. The handler only writes the signal's
// number into a pipe whose other end the event loop watches, so the program
// ends in its own time, with everything written. A second signal of the kind
// ends the program at once, should the first one's ending hang.
class CStopSignals final : public QObject
{
    Q_OBJECT
public:
    explicit CStopSignals(QObject *parent = nullptr);
    // The default handling comes back.
    ~CStopSignals() override;

signals:
    void received(int signal);

private:
    void readPipe();

    int m_readFd = -1;
    QSocketNotifier *m_notifier = nullptr;
};
