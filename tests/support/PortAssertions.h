#pragma once

#include "ports/PortEngine.h"

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
