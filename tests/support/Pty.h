#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// A pseudo-terminal pair standing in for a serial line: the code under test
// opens the slave by its path like a serial device, the test plays the far end
// on the master. The pair keeps a slave descriptor of its own, so the master
// never sees a hang-up while the code under test has the device closed.
class PtyPair final
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_master >= 0 && !m_path.isEmpty(); }
    QString devicePath() const { return m_path; }

    // Sends all bytes from the far end; false when they did not fit within timeoutMs.
    bool write(const QByteArray &bytes, int timeoutMs = 10000);
    // What the far end receives: until `count` bytes are in, or timeoutMs passed.
    QByteArray read(qsizetype count, int timeoutMs = 10000)
    {
        return readWhile(timeoutMs, [count](const QByteArray &r) { return r.size() < count; });
    }
    // Until the received bytes end with `tail`, or timeoutMs passed.
    QByteArray readUntil(const QByteArray &tail, int timeoutMs = 10000)
    {
        return readWhile(timeoutMs, [&tail](const QByteArray &r) { return !r.endsWith(tail); });
    }
    // Hangs the line up, as unplugging an adapter does.
    void closeMaster();

private:
    QByteArray readWhile(int timeoutMs, const std::function<bool(const QByteArray &)> &more);

    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};
