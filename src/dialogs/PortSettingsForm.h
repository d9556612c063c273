#pragma once

#include "settings/TerminalSettings.h"
#include "platform/DeviceRoots.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

// The port settings dialog without its widgets: the lists it offers, the
// values its controls start with, and what OK makes of the controls' values
// (the terminal's settings and the INI keys, written in the dialog's order).
class CPortSettingsForm
{
    Q_DECLARE_TR_FUNCTIONS(CPortSettingsForm)
public:
    enum class Link { Serial, Network, Usb };

    // An entry of the "Com port" list: a COM number, or a device path.
    struct ComChoice
    {
        QString text;
        int comPort = 1;
        QString device; // empty for a COM number
    };

    // What the controls hold. Numbers are kept as typed; lists by position
    // (-1: nothing selected).
    struct Values
    {
        Link link = Link::Serial;
        QString comText; // an entry's text or a typed device path
        QString baud;
        QString dataBits;
        QString stopBits;
        int parity = 0;
        int protocol = 0;
        QString address;
        QString portNumber;
        bool udp = false;
        QString usbName; // the text of the chosen USB entry
        bool limitOn = false;
        QString limit; // KByte
        bool logOn = false;
        QString logFile;
    };

    explicit CPortSettingsForm(const TerminalSettings &settings, const DeviceRoots &roots = {});

    // COM1 to COM8, then the serial devices present, then a stored device that
    // is not present (marked absent), so that OK keeps it.
    const QList<ComChoice> &comChoices() const { return m_comChoices; }
    // Placeholder, the USB printers present, and a stored one that is absent.
    const QStringList &usbNames() const { return m_usbNames; }
    static QStringList baudRates();

    // Reads the devices present again. When `comText` is an entry, its
    // choice stays in the list and the text that now stands for it is
    // returned; typed text is left alone (empty result).
    QString refreshSerialDevices(const QString &comText);
    // The same for the USB list; a printer that is gone gives the placeholder.
    QString refreshUsbDevices(const QString &usbName);

    // The controls' values when the dialog opens.
    Values initialValues() const;

    // The COM number and device that a text of the "Com port" list stands
    // for: an entry, "COMn" typed, or any other text as a device path (the
    // "(absent)" mark of an entry taken out).
    ComChoice comChoice(const QString &text) const;

    // OK: every value into `settings` and the INI file.
    void apply(const Values &values, TerminalSettings &settings, const QString &iniPath) const;

private:
    void buildComChoices(const QList<ComChoice> &keep);
    void buildUsbList();
    QString comTextFor(const ComChoice &choice) const;
    QString usbPathFor(const QString &name) const;

    TerminalSettings m_stored;
    DeviceRoots m_roots;
    QList<ComChoice> m_comChoices;
    QStringList m_usbPaths;
    QStringList m_usbNames;
    QString m_absentUsbName; // the entry of a stored printer that is absent
};
