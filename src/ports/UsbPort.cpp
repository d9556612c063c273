#include "UsbPort.h"

#include "platform/Logging.h"

#include <cerrno>
#include <cstring>

namespace {
constexpr std::uint32_t kRxBufferSize = 512;
constexpr std::uint32_t kReadChunk = 256;
} // namespace

CUsbPort::CUsbPort()
    : CDevicePort(lcUsb)
{}

CUsbPort::~CUsbPort()
{
    Close();
}

bool CUsbPort::Open(const QString &devicePath, int timeoutSec)
{
    if (!BeginOpen(timeoutSec, kRxBufferSize, kReadChunk))
        return false;
    m_strDevicePath = devicePath;

    m_nLastOpenError = OpenDevice(m_deviceNode);
    if (m_nLastOpenError == 0) {
        m_nodeInUse = m_deviceNode;
        m_displayName = UsbDeviceTitle(m_strDevicePath, m_roots);
        return true;
    }
    m_hDevice.close();
    DebugText("Open: Bad filehandle\n");
    qCInfo(lcUsb, "%s: %s", qPrintable(m_deviceNode.isEmpty() ? devicePath : m_deviceNode),
           std::strerror(m_nLastOpenError));
    return false;
}

int CUsbPort::OpenDevice(QString &node)
{
    node.clear();
    if (m_strDevicePath.isEmpty() || m_strDevicePath == UsbPrinters::kPlaceholderPath)
        return ENODEV;
    node = UsbDeviceNode(m_strDevicePath, m_roots);
    if (node.isEmpty())
        return ENODEV;
    // usblp lets one user in at a time; the lock keeps out a second terminal
    // also on a node that would allow it.
    if (const int err = m_hDevice.open(node); err != 0)
        return err;
    // A terminal device (a pseudo-terminal standing in for a printer) passes
    // the bytes unchanged, at whatever rate it has; a usblp node is none.
    SerialTermios current;
    if (m_hDevice.readTermios(current) != 0)
        return 0;
    SerialLineSettings line;
    line.baud = current.ospeed > 0 ? static_cast<int>(current.ospeed) : line.baud;
    return m_hDevice.writeTermios(CSerialDevice::compose(current, line));
}

bool CUsbPort::Reopen()
{
    if (OpenDevice(m_nodeInUse) == 0)
        return true;
    m_hDevice.close();
    return false;
}

void CUsbPort::TeardownLink()
{
    m_hDevice.close();
    m_strDevicePath = UsbPrinters::kPlaceholderPath;
    m_nodeInUse.clear();
    m_displayName.clear();
}
