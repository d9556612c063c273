#pragma once

#include "display/CharacterMapping.h"
#include "input/ReceiveTriggers.h"
#include "input/SendFraming.h"
#include "platform/ProfileCache.h"
#include "ports/LinkState.h"
#include "settings/TerminalSettings.h"
#include "terminal/TerminalPorts.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <array>
#include <cstdint>
#include <deque>
#include <memory>

class CConnectionWait;
class CDisplayModel;
class CFileSender;
class CPortEngine;
class CPrinterFileReceiver;

// The terminal without a window: its settings, one run at a time over the
// port of the chosen kind (start, stop, the restart after a TCP server's peer
// left, a link that heals and what is told about it), the path of every
// received block (printer reception, display and log, receive triggers) and
// every kind of send (typed text, hex bytes, hotkeys and auto-replies, files,
// the printer's header and request) under the rule that nothing the user
// sent is dropped without a word. A window, or a run without one, shows what
// it tells through its signals; boxes, beeps and file names go through
// UiServices.
class CTerminal final : public QObject
{
    Q_OBJECT
public:
    enum class Led { Send, Receive };
    enum class SendResult {
        Nothing, // nothing to send (an empty input, blanks only)
        Sent,    // handed to the port, or held back behind a file that is being sent
        Refused, // the port took nothing; the user was told why
    };
    // A hotkey as the INI file has it at the moment it fires.
    struct HotKey
    {
        bool configure = false; // not sendable now: the configuration opens instead
        bool crlf = false;
        bool hex = false;
        QString text;
        // Framing off and Hex-Data: its bytes go out as they are (in text mode
        // too), and its digits must be whole pairs, or it is left out.
        bool rawHex = false;
        bool leftOut = false;
    };
    enum class FileOpen { Ok, Empty, Failed };

    // `iniPath` is the INI file in use; `ports` null means the real ports.
    explicit CTerminal(const QString &iniPath, std::unique_ptr<CTerminalPorts> ports = nullptr,
                       QObject *parent = nullptr);
    ~CTerminal() override;

    // --- settings ---
    const QString &iniPath() const { return m_strIniPath; }
    // Reads every setting from the INI file; returns its "UseKeyBar" switch.
    bool LoadSettings();
    TerminalSettings &settings() { return m_settings; }
    const TerminalSettings &settings() const { return m_settings; }
    CharMapTable &charMapTable() { return m_charMap; }
    const QString &hotKeyCaption(int index) const { return m_hotKeyCaptions[index]; }
    // Reads the captions from the INI file again (after the hotkey dialog).
    void reloadHotKeyCaptions();
    // The receive triggers from the receive texts and the mapping, matches
    // reset; hotkeys left out for their hex digits are told in one line.
    void PrepareReceiveTriggers();
    // The send settings changed (the send options dialog): triggers and panes follow.
    void sendSettingsChanged();
    CReceiveTriggers &receiveTriggers() { return m_triggers; }
    // Hex mode on or off: the display starts empty in the new mode.
    void setHexMode(bool on);

    // --- the run ---
    void OnTerminalStart();
    void OnTerminalStop();
    // Ends the run with everything that arrived shown and the log written (a
    // run without a window told to end), where Stop drops what is not shown.
    void finishRun();
    bool isRunning() const { return m_bRunning; }
    // A start waits for its port (a server for its peer).
    bool isStarting() const { return m_bStarting; }
    // Ends a start that waits for its connection: it returns without a run.
    void abortStart();
    // The port of the current port kind (null when that kind has none).
    CPortEngine *currentPort() const;
    void setConnectionWait(CConnectionWait *wait);
    // The link state as the user is to see it, and what a connected serial
    // link's handshake waits for.
    LinkState shownLinkState() const;
    HandshakeHold handshakeHold() const;
    // Received blocks are being shown: whatever opens a dialog waits.
    bool isShowingBlocks() const { return m_bShowingBlocks || m_bCheckingTriggers; }

    CDisplayModel &display() const { return *m_pDisplay; }
    // Shows bytes in the display as sent data.
    void echoSent(const QByteArray &bytes);

    // --- sending ---
    // Sends each line of `typed` as a text of its own (framed, mapped, with
    // the line end for `crlf`, as the send settings say); in hex mode the
    // window sends its hex input instead.
    SendResult SendText(const QString &typed, bool crlf);
    // Sends at most 1022 of `bytes` as the hex input does (framed, checksum).
    SendResult SendHexBytes(const QByteArray &bytes);
    // Writes each send to the port, paced as the settings say when `paced`,
    // lights the send indicator and echoes what was queued; false when the
    // port took none of them (it tells the user why).
    bool transmit(const QList<QByteArray> &sends, bool paced = true);
    // Hotkey `index` (0-11) as the INI file has it now.
    HotKey hotKey(int index);
    // What a hotkey puts into the hex input: its hex digits as bytes, or its
    // text, with the line end for "+CRLF"; empty when there is nothing to send.
    QByteArray hotKeyHexInput(const HotKey &key) const;
    // Tells that hotkey `index` is left out for its hex digits.
    void tellHotKeyLeftOut(int index);
    // A hotkey sent without the window's inputs (an auto-reply, or a run
    // without a window).
    void FireHotKey(int index);
    void StartSendProgress(int blocks);
    bool isWritePending() const;
    int blocksWritten() const;

    // --- files and the printer ---
    // Opens a file for sending (to the printer: at most 4 GB); failures are told.
    FileOpen openFileToSend(const QString &path, bool toPrinter);
    // Sends the opened file as it is, or to the printer as `printerName`
    // behind a header with its size and CRC-32 (the CRC is taken first).
    void startFileSend();
    void startPrinterFileSend(const QString &printerName);
    void abortFileSend();
    bool isFileSendBusy() const;
    CFileSender *fileSender() const { return m_pFileSender; }
    // Asks the printer for `name` and receives its answer into `targetPath`.
    void ReceivePrinterFile(const QString &name, const QString &targetPath);
    void OnCancelPrinterReception();
    bool IsPrinterReceptionActive() const;

    // --- the wire in view (TerminalLines.cpp) ---
    struct Counters
    {
        std::uint64_t received = 0; // bytes of this run
        std::uint64_t sent = 0;
        double receiveRate = 0;          // bytes a second over the last second
        std::uint64_t totalReceived = 0; // since the program started
        std::uint64_t totalSent = 0;
    };
    // The counters now; each call adds a sample to the rate's second.
    Counters counters();
    // A serial link runs: its modem lines can be shown and switched.
    bool isSerialRunning() const;
    ModemLineState modemLines() const;
    // The output lines (ModemBits) that the chosen handshake drives itself.
    int drivenLines() const;
    // Switches DTR or RTS (a ModemBits value); a refusal is told in the status bar.
    LineRequest setModemLine(int bit, bool up);
    // A break of 250 ms after what was sent before it; what became of it is
    // told in the status bar.
    LineRequest sendBreak();

signals:
    // The run started (inputs open, focus there).
    void started();
    // The run ended (inputs closed and emptied).
    void stopped();
    // Running, starting, a file send or reception changed: commands follow.
    void stateChanged();
    // The link state, the handshake hold, the peer or the send settings
    // changed: panes follow.
    void linkStateChanged();
    // A line for the status bar.
    void statusMessage(const QString &text);
    void activity(CTerminal::Led led);
    // The port's blocks of a send are counted from here (the gateway's table).
    void sendProgressStarted(int blocks);
    // A file transfer's progress, and its end.
    void transferProgress(qint64 done, qint64 total);
    void transferProgressEnded();
    // A hotkey that cannot be sent asks for its configuration.
    void hotKeyConfigurationRequested();
    void hotKeyCaptionsChanged();
    // The modem lines or what may be switched changed.
    void modemLinesChanged();
    // A printer header or request went out as typed text would (text mode):
    // the text input shows and remembers it as it does what is typed.
    void inputTextSent(const QString &text, bool sent);

protected:
    bool event(QEvent *event) override;

private:
    void OnPortNotify(int lParam);
    void showStartFailure(int stringId, const QString &reason = QString());
    void showQueuedBlocks();
    void showAllQueuedBlocks();
    void showReceivedBlock(QByteArray block);
    // Stop; `keepListening` keeps a TCP server's listening socket for the
    // Start that follows at once (its peer left).
    void stopRun(bool keepListening);
    void restartAfterPeerLeft();
    void onLinkStateChanged();
    // Once the blocks from before a link loss are shown, what comes next
    // begins a new line, as after a start.
    void startLineIfDue();
    void reportUnsent();
    void tellNotSent(std::uint64_t bytes, UnsentReason reason);
    void CheckReceiveTriggers(const std::uint8_t *bytes, int length);
    // The counters of a new run begin here.
    void startCounters();
    void onBreakDone();
    // Shows the progress of a paced send that takes a while.
    void showPacedProgress(const QList<QByteArray> &sends, int blocks);

    void createFileTransfer();
    void sendPrinterText(const QString &text);
    // `paced`: a plain file, whose bytes keep the send settings' spacing.
    void startFileStream(const QString &path, bool paced);
    void onFileSendFinished(int outcome);
    void ReceivePrinterFileData(std::uint8_t *bytes, int length);
    void endPrinterReception();
    QString keptPartNote() const;
    void postMessage(const QString &text);

    QString m_strIniPath;
    // The hotkey keys as a hotkey fires: read again only when the file changed.
    profile::ProfileCache m_hotKeyIni;
    TerminalSettings m_settings;
    CharMapTable m_charMap;
    CReceiveTriggers m_triggers;
    std::array<QString, TerminalSettings::kHotKeys> m_hotKeyCaptions;
    std::unique_ptr<CTerminalPorts> m_ports;
    CDisplayModel *m_pDisplay;
    CFileSender *m_pFileSender = nullptr;
    std::unique_ptr<CPrinterFileReceiver> m_pReceiver;
    QString m_strTargetPath;
    QString m_strPrinterName;
    QElapsedTimer m_receiveProgressClock;

    bool m_bRunning = false;
    bool m_bShowingBlocks = false;    // guards against re-entrant rendering
    bool m_bCheckingTriggers = false; // an auto-reply is being sent
    bool m_bRestartPending = false;   // a link loss arrived while blocks were shown
    bool m_bStarting = false;         // a port is being opened (it may wait for a peer)
    bool m_bAbortStart = false;
    int m_nLinkLossesSeen = 0; // losses of this run already reported
    bool m_bLinkDownReported = false;
    bool m_bLineStartDue = false; // a healed link's data begins a new line
    // The ports' counts when this run began, and samples of the last second.
    const CPortEngine *m_pCountedPort = nullptr;
    std::uint64_t m_nReceivedAtStart = 0;
    std::uint64_t m_nSentAtStart = 0;
    struct RateSample
    {
        qint64 ms;
        std::uint64_t received;
    };
    std::deque<RateSample> m_rateSamples;
    QElapsedTimer m_rateClock;
};
