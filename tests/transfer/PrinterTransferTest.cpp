// The file commands of the main window over real links: TCP and a
// pseudo-terminal to the printer simulator, and a socket pair whose far end
// the test plays.
#include "frame/CommandIds.h"
#include "frame/SendingFixture.h"
#include "input/InputEdit.h"
#include "support/ChildProcess.h"
#include "support/FileBytes.h"
#include "transfer/Crc32.h"
#include "transfer/FileSender.h"

#include <QLineEdit>
#include <QProgressBar>

namespace {

class PrinterTransferTest : public WindowTest
{
protected:
    PrinterTransferTest() { QDir(dir.path()).mkpath(QStringLiteral("printer/DIR")); }
    ~PrinterTransferTest() override
    {
        frame.reset(); // before its link's far end goes
        stopSim();
    }
    void stopSim()
    {
        sim.kill();
        sim.waitForFinished(5000);
        simOut.clear();
    }
    // The printer simulator on a TCP port, or with `pty` on a pseudo-terminal, and
    // the terminal started on it. It tells where first, then a line per file.
    void startSim(const QStringList &args = {}, bool pty = false)
    {
        frame.reset();
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
    // Answers every printer file name dialog with `name`, noting what it proposed.
    std::unique_ptr<ModalDriver> nameDialogAnswers(const QString &name)
    {
        return std::make_unique<ModalDriver>([this, name](QDialog *dialog) {
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileName"));
            proposed << edit->text();
            edit->setText(name);
            dialog->accept();
        });
    }
    bool idle() const { return action(CommandId::SendFile)->isEnabled(); }
    bool progressShown() const
    {
        return !frame->findChild<QProgressBar *>(QStringLiteral("sendProgress"))->isHidden();
    }

    QString folder = dir.filePath(QStringLiteral("printer"));
    QString record = dir.filePath(QStringLiteral("wire.bin"));
    QStringList proposed;
    QProcess sim;
    QString simOut;
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
        proposed.clear();
        ui.messages.clear();
        // Over the pty, answers come in 7-byte blocks with a wrong CRC.
        startSim(pty ? QStringList{"--block", "7", "--block-delay", "1", "--bad-crc"}
                     : QStringList{},
                 pty);
        auto driver = nameDialogAnswers(QStringLiteral("HELLO"));
        // In hex mode too the header goes out as text, not the hex input.
        for (bool hex : {false, true}) {
            if (hex)
                action(CommandId::HexMode)->trigger();
            ui.files = {path};
            ASSERT_TRUE(eventually([&] { return idle(); })); // the last send is done
            action(CommandId::SendFileToPrinter)->trigger();
            ASSERT_TRUE(simSays(hex ? "stored HELLO (5 bytes, CRC 907060870 ok)\nstored HELLO"
                                    : "stored HELLO (5 bytes, CRC 907060870 ok)"))
                << simOut.toStdString();
        }
        EXPECT_EQ(proposed, QStringList({"greeting.txt", "greeting.txt"}));
        EXPECT_EQ(fileBytes(record), QByteArray("\x02#T=HELLO,5,907060870*\x03hello").repeated(2));
        EXPECT_EQ(fileBytes(folder + QStringLiteral("/HELLO")), "hello");
        EXPECT_TRUE(ui.messages.empty());

        // Fetched back: the file replaces the old one even with a bad CRC, which is told.
        driver = nameDialogAnswers(QStringLiteral("DIR\\A.TXT"));
        ASSERT_TRUE(writeFileBytes(target, "old contents"));
        ui.files = {target};
        ASSERT_TRUE(eventually([&] { return idle(); }));
        action(CommandId::ReceivePrinterFile)->trigger();
        EXPECT_EQ(ui.fileDialogs.back().proposedName, "A.TXT");
        ASSERT_TRUE(eventually([&] { return !ui.messages.empty(); }));
        EXPECT_EQ(ui.messages[0].text,
                  (pty ? QStringLiteral("Bad CRC checksum while transferring file [%1]!")
                       : QStringLiteral("File [%1] has been received successfully!"))
                      .arg(QDir::toNativeSeparators(target)));
        EXPECT_TRUE(fileBytes(target) == content);
        EXPECT_FALSE(action(CommandId::CancelPrinterReception)->isEnabled());
        EXPECT_EQ(ui.beeps, 0);
        EXPECT_TRUE(fileBytes(record).endsWith("\x02#G=DIR\\A.TXT*\x03"));
    }
}

TEST_F(PrinterTransferTest, plainSendWithoutEchoShowsThePathAndLargeFilesArriveExactly)
{
    startSim();
    const QString path = dir.filePath(QStringLiteral("big.bin"));
    // Large enough to span many reads and writes; smaller where a sanitizer
    // makes every byte slow.
    QByteArray big(50 * 1024 * 1024 / deadlineScale(), '\0');
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>((i * 7919) >> 5);
    ASSERT_TRUE(writeFileBytes(path, big));
    ui.files = {path};
    action(CommandId::SendFile)->trigger();
    EXPECT_FALSE(idle()); // one file at a time
    EXPECT_TRUE(progressShown());
    EXPECT_EQ(displayText(), "-> [" + QDir::toNativeSeparators(path).toUtf8() + "]\n");
    EXPECT_EQ(frame->view()->widget()->buffer().colorRuns().back().color,
              CRuKTerminalView::kSentColor);
    // A line typed meanwhile follows the file instead of landing in its middle.
    frame->textInput()->setPlainText(QStringLiteral("AT"));
    frame->SendInputText(true);
    const QByteArray expected = big + "\002AT\003\r\n";
    ASSERT_TRUE(eventually([&] { return QFileInfo(record).size() >= expected.size(); }, 60000));
    EXPECT_TRUE(fileBytes(record) == expected);

    // To the printer: the whole file behind its header, checked by the printer.
    ASSERT_TRUE(eventually([&] { return idle(); }));
    ui.files = {path};
    auto driver = nameDialogAnswers(QStringLiteral("BIG"));
    action(CommandId::SendFileToPrinter)->trigger();
    const QByteArray line = "stored BIG (" + QByteArray::number(big.size()) + " bytes, CRC "
                            + QByteArray::number(ComputeCrc32(big.constData(), big.size()))
                            + " ok)";
    ASSERT_TRUE(simSays(line.constData(), 60000)) << simOut.toStdString();
    EXPECT_TRUE(fileBytes(folder + QStringLiteral("/BIG")) == big);
    ASSERT_TRUE(eventually([&] { return idle(); }));
    EXPECT_FALSE(progressShown());

    // Stop ends a send at once.
    ui.files = {path};
    action(CommandId::SendFile)->trigger();
    EXPECT_TRUE(frame->fileSender()->isBusy());
    frame->OnTerminalStop();
    EXPECT_FALSE(frame->fileSender()->isBusy());
    EXPECT_FALSE(progressShown());
}

// Answers played at the far end of a socket pair, to reach every corner.
TEST_F(PrinterTransferTest, receptionEndsCleanlyOnOddAnswersAndCanBeCancelled)
{
    start();
    auto driver = nameDialogAnswers(QStringLiteral("X"));
    // A target that cannot be created is told with a beep; the whole answer is
    // shown, its "*" as a 0x00 byte.
    const QString nowhere = dir.filePath(QStringLiteral("no/such/dir/in.bin"));
    ui.files = {nowhere};
    frame->OnReceivePrinterFile();
    EXPECT_EQ(sentSoFar(), "\x02#G=X*\x03");
    link.writeFar("#T=X,5,0*ABCDE");
    ASSERT_TRUE(eventually([&] { return !ui.messages.empty(); }));
    EXPECT_TRUE(ui.messages[0].text.startsWith(
        QStringLiteral("The file [%1] cannot be written").arg(QDir::toNativeSeparators(nowhere))));
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_FALSE(frame->IsPrinterReceptionActive());
    EXPECT_TRUE(eventually([&] { return displayText() == "#T=X,5,0.ABCDE"; }));

    // Progress in bytes of the announced size, and a reception that is
    // cancelled: the file of that name stays, what arrived is kept beside it.
    const QString target = dir.filePath(QStringLiteral("in.bin"));
    ui.files = {target};
    ui.messages.clear();
    ASSERT_TRUE(writeFileBytes(target, "old contents"));
    frame->OnReceivePrinterFile();
    link.writeFar("#T=X,400,0*" + QByteArray(100, 'p'));
    ASSERT_TRUE(eventually([&] { return pane("sendPercent") == "25%"; }));
    frame->OnRefreshTimer(); // the port's own progress does not take over
    EXPECT_TRUE(progressShown() && pane("sendPercent") == "25%");
    QAction *cancel = action(CommandId::CancelPrinterReception);
    ASSERT_TRUE(cancel->isEnabled());
    cancel->trigger();
    EXPECT_FALSE(cancel->isEnabled());
    EXPECT_FALSE(progressShown());
    EXPECT_EQ(fileBytes(target), "old contents");
    EXPECT_EQ(fileBytes(target + QStringLiteral(".part")), QByteArray(100, 'p'));
    ASSERT_TRUE(eventually([&] { return !ui.messages.empty(); }));
    EXPECT_EQ(ui.messages[0].text,
              QStringLiteral("The reception of [%1] was cancelled.\nThe bytes received so far "
                             "are kept in [%1.part]; [%1] was not changed.")
                  .arg(QDir::toNativeSeparators(target)));
}

} // namespace
