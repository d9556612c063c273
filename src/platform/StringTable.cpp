#include "StringTable.h"

#include <QCoreApplication>

#include <iterator>

namespace {

struct Entry
{
    int id;
    const char *text;
};

// clang-format off
const Entry kStrings[] = {
    {102, QT_TRANSLATE_NOOP("StringTable", "Date")},
    {103, QT_TRANSLATE_NOOP("StringTable", "Time")},
    {104, QT_TRANSLATE_NOOP("StringTable", "Port")},
    {128, QT_TRANSLATE_NOOP("StringTable", "ORBATerminal\n\nORBATer\nFiletype ORBATer (*.ter)\n.ter\nORBATerminal.Document\nORBATer Document")},
    {129, QT_TRANSLATE_NOOP("StringTable", "Send file...")},
    {130, QT_TRANSLATE_NOOP("StringTable", "Failure opening the serial port!")},
    {131, QT_TRANSLATE_NOOP("StringTable", "Failed to alloc the necessary resources!")},
    {132, QT_TRANSLATE_NOOP("StringTable", "Code")},
    {133, QT_TRANSLATE_NOOP("StringTable", "Text")},
    {134, QT_TRANSLATE_NOOP("StringTable", "GA")},
    {135, QT_TRANSLATE_NOOP("StringTable", "Receive")},
    {136, QT_TRANSLATE_NOOP("StringTable", "Format")},
    {137, QT_TRANSLATE_NOOP("StringTable", "Receive file...")},
    {138, QT_TRANSLATE_NOOP("StringTable", "Bad CRC checksum while transferring file [%s]!")},
    {139, QT_TRANSLATE_NOOP("StringTable", "File [%s] has been received successfully!")},
    {1003, QT_TRANSLATE_NOOP("StringTable", "Save terminal settings")},
    {1004, QT_TRANSLATE_NOOP("StringTable", "Load terminal settings")},
    {1005, QT_TRANSLATE_NOOP("StringTable", "Terminal settings have been loaded and activated.")},
    {1006, QT_TRANSLATE_NOOP("StringTable", "Save GATEX addresses")},
    {1007, QT_TRANSLATE_NOOP("StringTable", "Load GATEX addresses")},
    {1008, QT_TRANSLATE_NOOP("StringTable", "Import GATEX addresses from BusScout/VisPlanner *.GA files")},
    {1009, QT_TRANSLATE_NOOP("StringTable", "Remove all address definitions?")},
    {1010, QT_TRANSLATE_NOOP("StringTable", "Waiting for incoming UDP data...")},
    {57345, QT_TRANSLATE_NOOP("StringTable", "Ready")},

    // Command prompts: status-bar text, then the tool tip after "\n".
    {1000, QT_TRANSLATE_NOOP("StringTable", "Edit field for sending data\nEdit field")},
    {1001, QT_TRANSLATE_NOOP("StringTable", "Send file\nSend file")},
    {1002, QT_TRANSLATE_NOOP("StringTable", "Send input text\nSend text")},
    {32771, QT_TRANSLATE_NOOP("StringTable", "Starts the terminal mode\nStart")},
    {32772, QT_TRANSLATE_NOOP("StringTable", "Scrolls automatically to the end of the display\nAuto-scroll")},
    {32773, QT_TRANSLATE_NOOP("StringTable", "Stops the terminal mode\nStop")},
    {32774, QT_TRANSLATE_NOOP("StringTable", "Local echo of sent data\nLocal echo")},
    {32775, QT_TRANSLATE_NOOP("StringTable", "Com port settings\nCom port")},
    {32776, QT_TRANSLATE_NOOP("StringTable", "Clear input edit after sending data\nClear input")},
    {32777, QT_TRANSLATE_NOOP("StringTable", "Configuration of a GATEX-W\nGATEX-W config")},
    {32778, QT_TRANSLATE_NOOP("StringTable", "Load settings\nLoads existing settings from a file")},
    {32779, QT_TRANSLATE_NOOP("StringTable", "Save settings\nSaves the current settings to a file")},
    {32780, QT_TRANSLATE_NOOP("StringTable", "Character mapping\nCharacter mapping")},
    {32793, QT_TRANSLATE_NOOP("StringTable", "Hotkey configuration\nHotkeys")},
    {32794, QT_TRANSLATE_NOOP("StringTable", "In/Output in hexadecimal notation\nHex mode")},
    {32797, QT_TRANSLATE_NOOP("StringTable", "Send file to r+k-Printer\nSend file to r+k-Printer")},
    {32798, QT_TRANSLATE_NOOP("StringTable", "Show ORBATerminal\nShow")},
    {32801, QT_TRANSLATE_NOOP("StringTable", "Receive file from r+k-Printer\nReceive file from r+k-Printer")},
    {32806, QT_TRANSLATE_NOOP("StringTable", "Close ORBATerminal\nClose")},
    {32807, QT_TRANSLATE_NOOP("StringTable", "Framing, line end, checksum and pacing of what is sent\nSend options")},
    {32824, QT_TRANSLATE_NOOP("StringTable", "Show/hide the hotkey bar\nToggle hotkey bar")},
    {57600, QT_TRANSLATE_NOOP("StringTable", "Clears the display\nNew")},
    {57601, QT_TRANSLATE_NOOP("StringTable", "Opens a saved terminal file\nOpen")},
    {57603, QT_TRANSLATE_NOOP("StringTable", "Saves the current display\nSave")},
    {57604, QT_TRANSLATE_NOOP("StringTable", "Saves the current display using a new name.\nSave as")},
    {57606, QT_TRANSLATE_NOOP("StringTable", "Chages the printer options\nPrinter setup")},
    {57607, QT_TRANSLATE_NOOP("StringTable", "Prints the current display\nPrint")},
    {57609, QT_TRANSLATE_NOOP("StringTable", "Print Preview\nPrint preview")},
    {57616, QT_TRANSLATE_NOOP("StringTable", "Opens document\nOpen document")},
    {57634, QT_TRANSLATE_NOOP("StringTable", "Copies the selection to the clipboard\nCopy")},
    {57664, QT_TRANSLATE_NOOP("StringTable", "Shows program information and version\nAbout")},
    {57665, QT_TRANSLATE_NOOP("StringTable", "Closes the program\nClose")},
    {59392, QT_TRANSLATE_NOOP("StringTable", "Shows or hides the toolbar\nToggle toolbar")},
    {59393, QT_TRANSLATE_NOOP("StringTable", "Shows or hides the status bar\nToggle status bar")},
};
// clang-format on

} // namespace

QString loadString(int id)
{
    for (const Entry &e : kStrings) {
        if (e.id == id)
            return QCoreApplication::translate("StringTable", e.text);
    }
    return {};
}

QString commandPrompt(int commandId)
{
    return loadString(commandId).section(u'\n', 0, 0);
}

QString commandToolTip(int commandId)
{
    const QString text = loadString(commandId);
    return text.contains(u'\n') ? text.section(u'\n', 1) : text;
}
