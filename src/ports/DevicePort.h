#pragma once

#include "platform/BoundedWrite.h"
#include "platform/SerialDevice.h"
#include "ports/PortEngine.h"

#include <QLoggingCategory>
#include <QString>

#include <chrono>

// A link on a device node (a tty, a USB printer) held exclusively as a
// nonblocking descriptor: the reader waits on the device, the stop event and
// the node's folder together, without a time-out; the writer hands whole runs
// of blocks to the device and waits for room at most the write time-out per
// block.
//
// When the device goes away (its node removed, ENODEV or ENXIO, a hang-up, or
// another read error that lasts a second) the port says so in one debug line,
// lets it go, so that it keeps its name when it returns, and opens it again
// by itself once its node is back. A read of 0 bytes is no loss (printers
// send zero-length transfers). Stop ends that wait at once.
class CDevicePort : public CPortEngine
{
public:
    // Also while the port runs without its device, waiting for it to return.
    bool IsOpen() const override { return IsStarted() || Device().isOpen(); }
    // Replaces the reads and tty calls on the device (tests: a device with
    // modem lines, or one whose reads fail); null puts the system's back.
    // Set while the port is stopped.
    void SetTtyIo(CTtyIo *io) { Device().setIo(io); }

protected:
    using LoggingCategory = const QLoggingCategory &(*)();
    explicit CDevicePort(LoggingCategory category)
        : m_category(category)
    {}

    virtual CSerialDevice &Device() = 0;
    virtual const CSerialDevice &Device() const = 0;
    // The node the device was opened at.
    virtual QString NodeInUse() const = 0;
    // Where the device's node is now, looked up anew (a printer that comes
    // back may get another number); empty while it is not there.
    virtual QString FindNode() const = 0;
    // Opens the device again with the settings of the last Open, without a
    // word; false leaves it closed.
    virtual bool Reopen() = 0;
    // Given the first bytes of a read, reads on as the kind wants (the serial
    // line until it goes quiet); returns the bytes now in the buffer.
    virtual std::uint32_t ReadOn(std::uint8_t *, std::uint32_t count) { return count; }
    // Asked before each write to the device; may hold it (up to the deadline).
    virtual BoundedWrite GateWrite(std::chrono::steady_clock::time_point)
    {
        return BoundedWrite::Written;
    }
    // Whether a block that failed ends the drain (the serial rule), or the
    // writer goes on with the next one.
    virtual bool FailedBlockEndsDrain() const = 0;
    // Called on the reader thread right before the device is let go.
    virtual void OnLinkDropped() {}

    // The first step of every Open: false while the port runs; otherwise a
    // device still held by an earlier Open is let go and the kind's numbers
    // are set for the next run.
    bool BeginOpen(int timeoutSec, std::uint32_t rxBufferSize, std::uint32_t readChunk);

    bool WriteBlock(const std::uint8_t *data, std::uint32_t length) final;
    std::size_t WriteRun(TxRun blocks) final;
    void ReaderLoop(std::uint8_t *buffer) final;
    int StopTimeoutMs() const final { return 2500; }
    bool CanStart() const final { return Device().isOpen(); }

    void DebugText(const char *text) const;

private:
    // Waits until the device's node is there again and it opens. Lost while
    // the node is absent, Reconnecting while it is there. False on stop.
    bool AwaitDeviceNode();

    LoggingCategory m_category;
};
