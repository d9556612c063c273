#pragma once

#include "platform/DeviceRoots.h"
#include "platform/SerialDevice.h"
#include "platform/UsbPrinterList.h"
#include "ports/PortEngine.h"

#include <QString>

// The link to a USB printer-class device: its usblp node opened exclusively
// and run by the port engine. Open takes a stored port path ("usb:1-1.4:1.0",
// see UsbPrinterList.h) or any device path; a terminal device (a
// pseudo-terminal in the tests) is switched to raw bytes.
class CUsbPort final : public CPortEngine
{
public:
    CUsbPort() = default;
    ~CUsbPort() override;

    // False while running, for the placeholder path, and when the device
    // cannot be opened (LastOpenError() tells why).
    bool Open(const QString &devicePath, int timeoutSec);
    bool IsOpen() const override { return m_hDevice.isOpen(); }

    // The path given to the last Open; the placeholder once closed.
    QString DevicePath() const { return m_strDevicePath; }
    // The node the last Open tried (the port path looked up in sysfs).
    QString DeviceNode() const { return m_deviceNode; }
    // errno of the last failed Open; 0 after a successful one.
    int LastOpenError() const { return m_nLastOpenError; }

    // Where port paths are looked up (tests use a fake sysfs tree).
    void SetDeviceRoots(const DeviceRoots &roots) { m_roots = roots; }

protected:
    bool WriteBlock(const std::uint8_t *data, std::uint32_t length) override;
    void ReaderLoop(std::uint8_t *buffer) override;
    void TeardownLink() override;
    int StopTimeoutMs() const override { return 2500; }
    bool CanStart() const override { return IsOpen(); }

private:
    int OpenDevice();

    QString m_strDevicePath = UsbPrinters::kPlaceholderPath;
    // Any character device held exclusively; usblp nodes take no line settings.
    CSerialDevice m_hDevice;
    QString m_deviceNode;
    int m_nLastOpenError = 0;
    DeviceRoots m_roots;
};
