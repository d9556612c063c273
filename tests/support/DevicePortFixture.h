#pragma once

#include "support/LogCapture.h"
#include "support/Pty.h"

#include "display/ReceivedBlockQueue.h"
#include "platform/PortNotify.h"

#include <QCoreApplication>
#include <QObject>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

// A port on a device node under test: a pseudo-terminal plays the device, the
// received blocks are collected, and every port thread must end at a stop
// without running into its time-out.
class DevicePortFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.isValid());
        CReceivedBlockQueue::instance().clear();
        setPortNotifyTarget(&window, true);
    }
    void TearDown() override
    {
        setPortNotifyTarget(nullptr, false);
        QCoreApplication::removePostedEvents(&window);
        CReceivedBlockQueue::instance().clear();
        // Every wait of the port threads includes the stop event.
        EXPECT_EQ(log.count(QStringLiteral("did not end"), true), 0);
    }

    // The received blocks, until `count` bytes are in; `sizes` gets the size
    // of each block.
    QByteArray receive(qsizetype count, std::vector<qsizetype> *sizes = nullptr)
    {
        QByteArray all;
        // A short result shows in the comparison of the caller.
        [[maybe_unused]] const bool complete = QTest::qWaitFor(
            [&] {
                QByteArray block;
                while (CReceivedBlockQueue::instance().takeNext(block)) {
                    if (sizes)
                        sizes->push_back(block.size());
                    all += block;
                }
                return all.size() >= count;
            },
            10000);
        return all;
    }

    static QByteArray everyByteValue(int repeats = 1)
    {
        QByteArray bytes;
        for (int r = 0; r < repeats; ++r) {
            for (int b = 0; b < 256; ++b)
                bytes.append(static_cast<char>(b));
        }
        return bytes;
    }

    LogCapture log;
    PtyPair pty;
    QObject window;
};
