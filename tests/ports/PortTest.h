#pragma once

// Everything the tests of the ports share.
#include "platform/PortNotify.h"
#include "ports/ComPort.h"
#include "ports/NetPort.h"
#include "ports/OpenFailure.h"
#include "ports/ReceivedBlockQueue.h"
#include "ports/UsbPort.h"
#include "support/EventLoopWait.h"
#include "support/FakeDeviceTree.h"
#include "support/FileBytes.h"
#include "support/LogCapture.h"
#include "support/LoopbackSockets.h"
#include "support/Pty.h"
#include "support/RecordingUiServices.h"

#include <QDeadlineTimer>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

// Why the latest Open of `port` failed, as the user is told.
template<typename Port>
QString whyNot(const Port &port, OpenFailure::Link link, const QString &target)
{
    return openFailureReason({link, port.LastOpenError(), target});
}

// Ports at work: notifications counted, blocks collected; every thread ends at a stop in time.
class PortTest : public ::testing::Test
{
protected:
    PortTest()
    {
        CReceivedBlockQueue::instance().clear();
        setPortNotifyTarget(&window, true);
    }
    ~PortTest() override
    {
        setPortNotifyTarget(nullptr, false);
        QCoreApplication::removePostedEvents(&window);
        CReceivedBlockQueue::instance().clear();
        EXPECT_EQ(log.count("did not end", true), 0);
    }

    // Polls `done` until it holds; false when it did not in time.
    template<typename Pred>
    static bool waitUntil(Pred done, int ms = 20000)
    {
        const QDeadlineTimer deadline(qint64(ms) * deadlineScale());
        while (!done() && !deadline.hasExpired())
            ::poll(nullptr, 0, 1);
        return done();
    }
    // Waits for `done` collecting the received blocks (not by Qt's events: TSan).
    template<typename Pred>
    bool collectUntil(Pred done, int ms = 20000)
    {
        return waitUntil(
            [&] {
                for (QByteArray b; CReceivedBlockQueue::instance().takeNext(b); received += b)
                    arrived.push_back(b);
                return done();
            },
            ms);
    }
    // What arrived since the last call, once `count` bytes are in.
    QByteArray receive(qsizetype count)
    {
        collectUntil([&] { return received.size() >= count; });
        return std::exchange(received, {});
    }
    // `count` bytes in which every byte value comes round again and again.
    static QByteArray pattern(qsizetype count, int seed = 0)
    {
        QByteArray bytes(count, Qt::Uninitialized);
        for (qsizetype i = 0; i < count; ++i)
            bytes[i] = static_cast<char>(i * 7 + seed + i / 251);
        return bytes;
    }

    // A serial port at 19200 8N1 on `line` (the fixture's pseudo-terminal by default).
    bool open(CComPort &port, int protocol = 0, int timeoutSec = 5, const PtyPair *line = nullptr)
    {
        port.SetDevicePath((line ? *line : pty).devicePath());
        return port.Open(1, 19200, 0, 8, 1, protocol, timeoutSec);
    }

    struct Window : QObject
    {
        bool event(QEvent *e) override
        {
            const PortNotifyEvent *notify = PortNotifyEvent::from(e);
            if (notify)
                ++counts[notify->lParam()];
            return notify || QObject::event(e);
        }
        int counts[6] = {};
    } window;
    LogCapture log;
    PtyPair pty; // the far end of a serial device or printer
    QByteArray received;
    std::vector<QByteArray> arrived; // the blocks as they came
};
