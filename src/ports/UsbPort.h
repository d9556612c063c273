#pragma once

#include "platform/DeviceRoots.h"
#include "platform/SerialDevice.h"
#include "platform/UsbPrinterList.h"
#include "ports/DevicePort.h"

#include <QString>

// The link to a USB printer-class device: its usblp node opened exclusively
// and run by the port engine. Open takes a stored port path ("usb:1-1.4:1.0",
// see UsbPrinterList.h) or any device path; a terminal device (a
// pseudo-terminal in the tests) is switched to raw bytes. A printer that is
// unplugged while the port runs is opened again once it is back: for a port
// path, the printer in that USB socket, whatever lp number it gets then.
class CUsbPort final : public CDevicePort
{
public:
    CUsbPort();
    ~CUsbPort() override;

    // False while running, for the placeholder path, and when the device
    // cannot be opened (LastOpenError() tells why).
    bool Open(const QString &devicePath, int timeoutSec);

    // The path given to the last Open; the placeholder once closed.
    QString DevicePath() const { return m_strDevicePath; }
    // The node the last Open tried (the port path looked up in sysfs).
    QString DeviceNode() const { return m_deviceNode; }
    // The printer as the device list names it, taken when it was opened.
    QString LinkName() const override { return m_displayName; }
    // errno of the last failed Open; 0 after a successful one.
    int LastOpenError() const { return m_nLastOpenError; }

    // Where port paths are looked up (tests use a fake sysfs tree).
    void SetDeviceRoots(const DeviceRoots &roots) { m_roots = roots; }

protected:
    CSerialDevice &Device() override { return m_hDevice; }
    const CSerialDevice &Device() const override { return m_hDevice; }
    QString NodeInUse() const override { return m_nodeInUse; }
    QString FindNode() const override { return UsbDeviceNode(m_strDevicePath, m_roots); }
    bool Reopen() override;
    // A printer gets every block of a job, whatever became of the one before.
    bool FailedBlockEndsDrain() const override { return false; }
    void TeardownLink() override;

private:
    // Looks the path up, opens the node it names and notes it in `node`;
    // 0 or the errno of the failure.
    int OpenDevice(QString &node);

    QString m_strDevicePath = UsbPrinters::kPlaceholderPath;
    // Any character device held exclusively; usblp nodes take no line settings.
    CSerialDevice m_hDevice;
    QString m_deviceNode;
    // Of the reader thread while the port runs: the node reopened last.
    QString m_nodeInUse;
    QString m_displayName;
    int m_nLastOpenError = 0;
    DeviceRoots m_roots;
};
