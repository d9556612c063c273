#include "TerminalPorts.h"

#include "ports/ComPort.h"
#include "ports/NetPort.h"

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
            return nullptr; // USB printer-class devices are not supported yet
        default:
            return &m_netPort;
        }
    }

    void setMainWindow(QWidget *window) override { m_netPort.SetMainWindow(window); }

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
        switch (s.portKind) {
        case 1:
            m_comPort.SetDevicePath(s.comDevice);
            return m_comPort.Open(s.comPort, s.baud, s.parity, s.dataBits, s.stopBits, s.protocol,
                                  kWriteTimeoutSec);
        case 2:
            return false;
        default:
            m_netPort.SetPeerAddressSink(peerAddress);
            return m_netPort.Open(s.address, static_cast<unsigned>(s.portNumber), kWriteTimeoutSec,
                                  s.socketType);
        }
    }

private:
    CComPort m_comPort;
    CNetPort m_netPort;
};

} // namespace

std::unique_ptr<CTerminalPorts> createDefaultTerminalPorts()
{
    return std::make_unique<CDefaultTerminalPorts>();
}
