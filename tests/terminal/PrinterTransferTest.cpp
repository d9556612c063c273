// Files to and from the printer: its simulator over TCP and a pty, or the test as its far end.
#include "TerminalFixture.h"

#include "support/ChildProcess.h"
#include "support/FileBytes.h"
#include "transfer/Crc32.h"
#include "transfer/FileSender.h"

#include <QDir>
#include <QProcess>

namespace {

class PrinterTransferTest : public TerminalTest
{
protected:
    PrinterTransferTest() { QDir(dir.path()).mkpath(QStringLiteral("printer/DIR")); }
    ~PrinterTransferTest() override { stopSim(); }
    void create(bool realPorts = false) override
    {
        TerminalTest::create(realPorts);
        QObject::connect(terminal.get(), &CTerminal::transferProgress,
                         [this](qint64 done, qint64 total) { progress = done * 100 / total; });
        QObject::connect(terminal.get(), &CTerminal::transferProgressEnded,
                         [this] { progress = -1; });
    }
    void stopSim() // the terminal first, before its link's far end goes
    {
        terminal.reset();
        sim.kill();
        sim.waitForFinished(5000);
        simOut.clear();
    }
    // The simulator on TCP (or `pty`), the terminal started on it; it says where, then each file.
    void startSim(bool pty = false, const QStringList &args = {})
    {
        stopSim(); // its port or pty goes with it
        sim.setProgram(QStringLiteral(ORBA_PRINTER_SIM));
        sim.setArguments((pty ? QStringList{"--pty"} : QStringList{"--tcp", "0"}) + args
                         + QStringList{"--dir", folder, "--record", record});
        sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        endWithTest(sim);
        sim.start();
        const char *where = pty ? "pty " : "listening on 127.0.0.1:";
        ASSERT_TRUE(simSays(where));
        const QString at = simOut.section(QLatin1String(where), 1).section(u'\n', 0, 0);
        ini("Com", "UseSerial", pty ? "1" : "0");
        ini("Com", "Device", pty ? at : QString());
        ini("Net", "IPAdr", "127.0.0.1");
        ini("Net", "PortNum", pty ? QStringLiteral("0") : at);
        ini("Net", "SocketType", "1");
        start(true);
    }
    bool simSays(const char *text, int ms = 20000)
    {
        const auto read = [&] {
            return QString::fromLocal8Bit(sim.readAllStandardOutput());
        };
        return eventually([&] { return (simOut += read()).contains(QLatin1String(text)); }, ms);
    }
    // What the window does once the user chose the file and the printer's name.
    void sendToPrinter(const QString &path, const QString &name)
    {
        ASSERT_EQ(terminal->openFileToSend(path, true), CTerminal::FileOpen::Ok);
        terminal->startPrinterFileSend(name);
    }
    bool idle() const { return !terminal->isFileSendBusy(); }

    QString folder = dir.filePath(QStringLiteral("printer"));
    QString record = dir.filePath(QStringLiteral("wire.bin"));
    QProcess sim;
    QString simOut;
    qint64 progress = -1; // the transfer's percentage; -1 while none is shown
};

TEST_F(PrinterTransferTest, filesGoToThePrinterBehindTheirHeaderAndComeBackCheckedOverTcpAndSerial)
{
    const QString path = dir.filePath(QStringLiteral("greeting.txt"));
    ASSERT_TRUE(writeFileBytes(path, "hello"));
    const QByteArray content = "0123456789*abcdefghij,klmnopqrstuvwxyz\r\n" + QByteArray(300, 'z');
    ASSERT_TRUE(writeFileBytes(folder + QStringLiteral("/DIR/A.TXT"), content));
    const QString target = dir.filePath(QStringLiteral("got.txt"));
    for (bool pty : {false, true}) {
        SCOPED_TRACE(pty ? "serial" : "TCP");
        QFile::remove(record);
        ui.messages.clear();
        // Over the pty, answers come in 7-byte blocks with a wrong CRC.
        startSim(pty, pty ? QStringList{"--block", "7", "--block-delay", "1", "--bad-crc"}
                          : QStringList{});
        QStringList typed; // what the text input shows and remembers
        QObject::connect(
            terminal.get(), &CTerminal::inputTextSent,
            [&](const QString &text, bool sent) { typed << text + (sent ? "" : "!"); });
        // In hex mode too the header goes out as text, not the hex input.
        for (bool hex : {false, true}) {
            terminal->setHexMode(hex);
            ASSERT_TRUE(eventually([&] { return idle(); })); // the last send is done
            sendToPrinter(path, QStringLiteral("HELLO"));
            ASSERT_TRUE(simSays(hex ? "stored HELLO (5 bytes, CRC 907060870 ok)\nstored HELLO"
                                    : "stored HELLO (5 bytes, CRC 907060870 ok)"))
                << simOut.toStdString();
        }
        EXPECT_EQ(typed, QStringList({"#T=HELLO,5,907060870*"}));
        EXPECT_EQ(fileBytes(record), QByteArray("\x02#T=HELLO,5,907060870*\x03hello").repeated(2));
        EXPECT_TRUE(fileBytes(folder + QStringLiteral("/HELLO")) == "hello" && ui.messages.empty());

        // Fetched back: the file replaces the old one even with a bad CRC, which is told.
        ASSERT_TRUE(writeFileBytes(target, "old contents"));
        ASSERT_TRUE(eventually([&] { return idle(); }));
        terminal->ReceivePrinterFile(QStringLiteral("DIR\\A.TXT"), target);
        ASSERT_TRUE(eventually([&] { return !ui.messages.empty(); }));
        EXPECT_EQ(ui.messages[0].text,
                  (pty ? QStringLiteral("Bad CRC checksum while transferring file [%1]!")
                       : QStringLiteral("File [%1] has been received successfully!"))
                      .arg(QDir::toNativeSeparators(target)));
        EXPECT_TRUE(fileBytes(target) == content && !terminal->IsPrinterReceptionActive()
                    && ui.beeps == 0);
        EXPECT_TRUE(fileBytes(record).endsWith("\x02#G=DIR\\A.TXT*\x03"));
    }
}

TEST_F(PrinterTransferTest, plainSendWithoutEchoShowsThePathAndLargeFilesArriveExactly)
{
    startSim();
    const QString path = dir.filePath(QStringLiteral("big.bin"));
    // Many reads and writes long; shorter where a sanitizer slows every byte.
    QByteArray big(50 * 1024 * 1024 / deadlineScale(), '\0');
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>((i * 7919) >> 5);
    ASSERT_TRUE(writeFileBytes(path, big));
    ASSERT_EQ(terminal->openFileToSend(path, false), CTerminal::FileOpen::Ok);
    terminal->startFileSend();
    EXPECT_FALSE(idle()); // one file at a time
    EXPECT_TRUE(eventually([&] { return progress >= 0; }));
    EXPECT_EQ(displayText(), "-> [" + QDir::toNativeSeparators(path).toUtf8() + "]\n");
    EXPECT_EQ(terminal->display().buffer().colorRuns().back().color, CDisplayModel::kSentColor);
    // A line typed meanwhile follows the file instead of landing in its middle.
    terminal->SendText(QStringLiteral("AT"), true);
    const QByteArray expected = big + "\002AT\003\r\n";
    ASSERT_TRUE(eventually([&] { return QFileInfo(record).size() >= expected.size(); }, 60000));
    EXPECT_TRUE(fileBytes(record) == expected);

    // To the printer: the whole file behind its header, checked by the printer.
    ASSERT_TRUE(eventually([&] { return idle(); }));
    sendToPrinter(path, QStringLiteral("BIG"));
    const QByteArray line = "stored BIG (" + QByteArray::number(big.size()) + " bytes, CRC "
                            + QByteArray::number(ComputeCrc32(big.constData(), big.size()))
                            + " ok)";
    ASSERT_TRUE(simSays(line.constData(), 60000)) << simOut.toStdString();
    EXPECT_TRUE(fileBytes(folder + QStringLiteral("/BIG")) == big);
    ASSERT_TRUE(eventually([&] { return idle(); }));
    EXPECT_EQ(progress, -1);
}

// Answers played at the far end of a socket pair, to reach every corner.
TEST_F(PrinterTransferTest, receptionEndsCleanlyOnOddAnswersAndCanBeCancelled)
{
    start();
    // A target that cannot be created is told with a beep; the answer is shown, "*" as 0x00.
    const QString nowhere = dir.filePath(QStringLiteral("no/such/dir/in.bin"));
    terminal->ReceivePrinterFile(QStringLiteral("X"), nowhere);
    EXPECT_EQ(sentSoFar(), "\x02#G=X*\x03");
    link.writeFar("#T=X,5,0*ABCDE");
    ASSERT_TRUE(eventually([&] { return !ui.messages.empty(); }));
    EXPECT_TRUE(ui.messages[0].text.startsWith(
        QStringLiteral("The file [%1] cannot be written").arg(QDir::toNativeSeparators(nowhere))));
    EXPECT_TRUE(ui.beeps == 1 && !terminal->IsPrinterReceptionActive());
    EXPECT_TRUE(eventually([&] { return displayText() == "#T=X,5,0.ABCDE"; }));

    // Progress is of the announced size; a cancel keeps the old file and what arrived beside it.
    const QString target = dir.filePath(QStringLiteral("in.bin"));
    ui.messages.clear();
    ASSERT_TRUE(writeFileBytes(target, "old contents"));
    terminal->ReceivePrinterFile(QStringLiteral("X"), target);
    link.writeFar("#T=X,400,0*" + QByteArray(100, 'p'));
    ASSERT_TRUE(eventually([&] { return progress == 25; }));
    ASSERT_TRUE(terminal->IsPrinterReceptionActive());
    terminal->OnCancelPrinterReception();
    EXPECT_EQ((std::tuple{terminal->IsPrinterReceptionActive(), progress, fileBytes(target),
                          fileBytes(target + ".part")}),
              (std::tuple{false, -1, QByteArray("old contents"), QByteArray(100, 'p')}));
    ASSERT_TRUE(eventually([&] { return !ui.messages.empty(); }));
    EXPECT_EQ(ui.messages[0].text,
              QStringLiteral("The reception of [%1] was cancelled.\nThe bytes received so far "
                             "are kept in [%1.part]; [%1] was not changed.")
                  .arg(QDir::toNativeSeparators(target)));
    // An answer whose header cannot be read ends the reception with a beep, the file untouched.
    const int beeps = ui.beeps;
    terminal->ReceivePrinterFile(QStringLiteral("X"), target);
    link.writeFar("#T=X5,0*ABCDE");
    ASSERT_TRUE(eventually([&] { return !terminal->IsPrinterReceptionActive(); }));
    EXPECT_TRUE(ui.beeps == beeps + 1 && fileBytes(target) == "old contents");
}

// A send's echo in text mode; a file that changes or shrinks on its way is told.
TEST_F(PrinterTransferTest, aFileShowsItsContentsAndChangingOrShrinkingWhileSentIsTold)
{
    start();
    terminal->settings().localEcho = true;
    const QString path = dir.filePath(QStringLiteral("f.bin"));
    ASSERT_TRUE(writeFileBytes(path, QByteArray("ab\0c\r\nd", 7)));
    ASSERT_EQ(terminal->openFileToSend(path, false), CTerminal::FileOpen::Ok);
    terminal->startFileSend();
    ASSERT_TRUE(eventually([&] { return idle(); }));
    EXPECT_EQ(link.readFar(7), QByteArray("ab\0c\r\nd", 7));
    EXPECT_EQ(displayText(), "-> [ab.c\nd]\n");

    const qint64 readAhead = CFileSender::kMaxQueuedBlocks * CFileSender::kBlockSize;
    const QByteArray file(readAhead + 100000, 'x');
    const struct
    {
        std::function<bool()> meanwhile;
        const char *told;
    } rows[] = {
        {[&] { return writeFileBytes(path, QByteArray(file).replace(readAhead + 5, 1, "y")); },
         "The file [%1] changed while it was being sent; the printer will find a bad checksum."},
        {[&] { return QFile::resize(path, readAhead + 10); },
         "The file [%1] could not be read to its end; the send was stopped."},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.told);
        ASSERT_TRUE(writeFileBytes(path, file));
        ui.messages.clear();
        terminal->display().clear();
        link.holdWriter(true);
        sendToPrinter(path, QStringLiteral("F"));
        // The file is read ahead while the line is held; then it changes.
        ASSERT_TRUE(eventually([&] { return displayText().size() >= readAhead; }));
        ASSERT_TRUE(row.meanwhile());
        link.holdWriter(false);
        ASSERT_TRUE(eventually([&] { return !ui.messages.empty() && idle(); }, 30000));
        EXPECT_EQ(ui.messages.back().text,
                  QString::fromLatin1(row.told).arg(QDir::toNativeSeparators(path)));
        while (!link.readFar(1 << 20, std::chrono::milliseconds(50)).isEmpty()) {
        }
    }
}

} // namespace
