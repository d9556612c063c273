#pragma once

#include "ports/PortEngine.h"
#include "support/LogCapture.h"

#include <QByteArray>

#include <gtest/gtest.h>

// While the link of a running port is down, a Write queues nothing and the
// bytes are counted as not sent because of that; the port still counts as
// open, so that a stop closes it.
inline void expectWriteRefusedWhileDown(CPortEngine &port, const QByteArray &bytes)
{
    EXPECT_TRUE(port.IsOpen()) << "a stop must still close it";
    std::uint32_t written = 1;
    EXPECT_EQ(port.Write(bytes.constData(), static_cast<int>(bytes.size()), &written), 0);
    EXPECT_EQ(written, 0u);
    UnsentReason reason = UnsentReason::NotStarted;
    EXPECT_EQ(port.TakeUnsentBytes(&reason), static_cast<std::uint64_t>(bytes.size()));
    EXPECT_EQ(reason, UnsentReason::LinkDown);
}

// A stop while a device link waits for its device: the wait ends and the port
// is idle. Each of the `losses` losses was said in one debug line, and no
// attempt to open the device again said anything.
inline void expectStopEndsTheWaitForTheDevice(CPortEngine &port, const LogCapture &log, int losses)
{
    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.GetLinkState(), LinkState::Idle);
    EXPECT_EQ(log.count(QStringLiteral("ERROR: ReadFile")), losses);
    EXPECT_EQ(log.count(QStringLiteral("ERROR: "), true), losses);
    EXPECT_EQ(log.count(QStringLiteral("Open: "), true), 0);
}
