#include "TerminalPorts.h"

#include "ports/ComPort.h"
#include "ports/NetPort.h"
#include "ports/UsbPort.h"

void CTerminalPorts::closeKeepingListener(int portKind)
{
    if (CPortEngine *p = port(portKind))
        p->Close();
}

namespace {

// Time-out of every write, in seconds.
constexpr int kWriteTimeoutSec = 5;

class CDefaultTerminalPorts final : public CTerminalPorts
{
public:
    CPortEngine *port(int portKind) override
    {
        switch (portKind) {
        case 1:
            return &m_comPort;
        case 2:
            return &m_usbPort;
        default:
            return &m_netPort;
        }
    }

    void setConnectionWait(CConnectionWait *wait) override { m_netPort.SetConnectionWait(wait); }

    void closeKeepingListener(int portKind) override
    {
        if (port(portKind) == &m_netPort)
            m_netPort.CloseKeepingListener();
        else
            CTerminalPorts::closeKeepingListener(portKind);
    }

    bool open(const TerminalSettings &s,
              const std::function<void(const QString &)> &peerAddress) override
    {
        m_failure = {};
        if (CPortEngine *running = port(s.portKind); running && running->IsStarted()) {
            m_failure.alreadyRunning = true;
            return false;
        }
        switch (s.portKind) {
        case 1:
            m_comPort.SetDevicePath(s.comDevice);
            if (m_comPort.Open(s.comPort, s.baud, s.parity, s.dataBits, s.stopBits, s.protocol,
                               kWriteTimeoutSec))
                return true;
            m_failure
                = {OpenFailure::Link::Serial, m_comPort.LastOpenError(), m_comPort.DeviceName()};
            return false;
        case 2:
            if (m_usbPort.Open(s.usbDevicePath, kWriteTimeoutSec))
                return true;
            m_failure
                = {OpenFailure::Link::Usb, m_usbPort.LastOpenError(),
                   m_usbPort.DeviceNode().isEmpty() ? s.usbDevicePath : m_usbPort.DeviceNode()};
            return false;
        default:
            m_netPort.SetPeerAddressSink(peerAddress);
            if (m_netPort.Open(s.address, static_cast<unsigned>(s.portNumber), kWriteTimeoutSec,
                               s.socketType))
                return true;
            m_failure = {OpenFailure::Link::Network, m_netPort.LastOpenError(),
                         QStringLiteral("%1:%2").arg(s.address).arg(s.portNumber)};
            return false;
        }
    }

    OpenFailure lastOpenFailure() const override { return m_failure; }

private:
    CComPort m_comPort;
    CNetPort m_netPort;
    CUsbPort m_usbPort;
    OpenFailure m_failure;
};

} // namespace

std::unique_ptr<CTerminalPorts> createDefaultTerminalPorts()
{
    return std::make_unique<CDefaultTerminalPorts>();
}
