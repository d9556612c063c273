#pragma once

#include "platform/SerialDevice.h"
#include "ports/DevicePort.h"
#include "ports/ModemLineWatcher.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

// The serial link: a tty device opened exclusively, set up with baud rate,
// data bits, parity, stop bits and one of five handshake modes, and run by the
// port engine. When the device goes away while the port runs (an adapter
// unplugged, the far end of a pseudo-terminal gone), the port lets it go and
// opens the same path with the same settings again once it is back.
//
// While it runs, a third thread follows the modem lines (CModemLineWatcher):
// the lines are there to be asked for (GetModemLines), the DSR handshake
// holds writes on them, and the lines that the handshake leaves alone can be
// switched; a break can be sent.
class CComPort final : public CDevicePort
{
public:
    // Flow control that a handshake (protocol) code asks for. Codes other
    // than 1 to 4 mean none.
    struct Handshake
    {
        bool xonXoff = false;
        bool rtsCts = false;
        // Hold output while DSR is low. The Linux drivers cannot do this,
        // so the writer does it before each block.
        bool dsrOut = false;
    };

    CComPort();
    ~CComPort() override;

    // Opens and configures the device; false while running or on any failure,
    // which leaves the device closed again.
    bool Open(int port, int baud, int parity, int dataBits, int stopBits, int protocol,
              int timeoutSec);
    // The "Device" setting: a path that replaces the device named after the
    // COM number; empty for the COM number's device. Used by the next Open.
    void SetDevicePath(const QString &path) { m_devicePath = path; }
    // /dev/ttyS<port - 1>, or devicePath when it is set. Empty for a port
    // number below 1 without a path, which no device answers to.
    static QString DeviceNameFor(int port, const QString &devicePath);
    static char ParityLetter(int parity);
    static Handshake HandshakeFor(int protocol);

    // Of the last Open: the device path, "baud=%d parity=%c data=%d stop=%d",
    // and the line settings as handed to the driver (some drivers, like that
    // of a pseudo-terminal, keep only part of them).
    QString DeviceName() const { return m_deviceName; }
    QByteArray Definition() const { return m_definition; }
    SerialTermios AppliedTermios() const { return m_dcb; }
    // Transmissions cut short by a failed write (and followed by a purge)
    // since the last Open. A Write issued after this rose starts afresh.
    // Bytes dropped that way count as not sent (TakeUnsentBytes).
    int FailedDrains() const { return m_nFailedDrains.load(); }
    // errno of the last failed Open (EINVAL for settings the line cannot
    // take); 0 after a successful one.
    int LastOpenError() const { return m_nLastOpenError; }

    // Replaces the reading of the DSR line by a function, looked at every
    // 50 ms (a stand-in for a device with lines; tests). Set before Open; an
    // empty function reads the device again.
    void SetDsrProbe(std::function<bool()> probe);
    // The same for CTS, read only to tell the user what holds sending back.
    void SetCtsProbe(std::function<bool()> probe);

    // DSR low under a DSR handshake, or CTS low under RTS/CTS, as the lines
    // are now.
    HandshakeHold GetHandshakeHold() const override { return m_hold.load(); }

    // The modem lines of the running link, following the device within
    // 50 ms; not available while stopped, while the device is gone and for a
    // device without modem lines.
    ModemLineState GetModemLines() const { return m_lines.state(); }
    // Whether each change of the lines (and each switch) is announced with
    // ModemLinesChanged. Off until asked for.
    void AnnounceModemLines(bool on) { m_announceLines = on; }
    // The lines (ModemBits::Dtr, ModemBits::Rts) that a handshake code moves
    // itself, which the user cannot switch: both under 2, RTS under 3, DTR
    // under 4.
    static int DrivenLines(int protocol);
    // Switches DTR or RTS of the running link. A switched line stays as set
    // until Stop, also when the device is opened again; Start raises both.
    LineRequest SetDtr(bool up) { return SetOutputLine(ModemBits::Dtr, up); }
    LineRequest SetRts(bool up) { return SetOutputLine(ModemBits::Rts, up); }
    // Asks for a break of 250 ms after what was sent before it: Queued, and
    // BreakDone once LastBreakResult() says how it went; NotRunning while no
    // link runs.
    LineRequest SendBreak();
    LineRequest LastBreakResult() const { return m_breakResult.load(); }

protected:
    CSerialDevice &Device() override { return m_hComm; }
    const CSerialDevice &Device() const override { return m_hComm; }
    QString NodeInUse() const override { return m_deviceName; }
    QString FindNode() const override { return m_deviceName; }
    bool Reopen() override;
    // Reads what follows the first bytes until the line has been idle for
    // 1 ms or the chunk is full.
    std::uint32_t ReadOn(std::uint8_t *buffer, std::uint32_t count) override;
    // Holds the write while DSR is down, for the handshakes that ask for it.
    BoundedWrite GateWrite(std::chrono::steady_clock::time_point deadline) override;
    bool FailedBlockEndsDrain() const override { return true; }
    void OnStarted() override;
    void OnLinkDropped() override { m_lines.pause(); }
    void OnDrainFailed() override;
    // Sends a break asked for, after what was queued before it.
    void AfterDrain() override;
    void TeardownLink() override;

private:
    // `quiet`: no debug texts (the attempts to reopen a returning device).
    bool OpenDevice(const SerialLineSettings &line, bool quiet = false);
    // Watching thread: what the handshake waits for, and the announcement.
    void OnLinesChanged(const ModemLineState &lines);
    LineRequest SetOutputLine(int bit, bool up);
    LineRequest BreakNow();
    void UseProbes();

    int m_nPort = 0;
    CSerialDevice m_hComm;
    SerialTermios m_dcb;
    Handshake m_handshake;
    SerialLineSettings m_line;
    QString m_devicePath;
    QString m_deviceName;
    QByteArray m_definition;
    int m_nProtocol = 0;
    std::function<bool()> m_dsrProbe;
    std::function<bool()> m_ctsProbe;
    std::unique_ptr<CTtyIo> m_probeIo;
    std::atomic<HandshakeHold> m_hold{HandshakeHold::None};
    std::atomic<int> m_nFailedDrains{0};
    int m_nLastOpenError = 0;

    CModemLineWatcher m_lines{m_hComm};
    std::atomic<bool> m_announceLines{false};
    // The outputs the user switched since Start, and which of them are up.
    std::atomic<int> m_switched{0};
    std::atomic<int> m_switchedUp{0};
    std::atomic<bool> m_breakWanted{false};
    std::atomic<LineRequest> m_breakResult{LineRequest::NotRunning};
};
