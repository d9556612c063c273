// The file commands of the main window over real links: a TCP link to the
// printer simulator, and a socket pair whose far end the test plays.
#include "PrinterSim.h"
#include "frame/CommandIds.h"
#include "frame/SendingFixture.h"
#include "input/InputEdit.h"
#include "support/EventLoopWait.h"
#include "transfer/Crc32.h"
#include "transfer/FileSender.h"

#include "support/FileBytes.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace {

// Answers every name dialog with `name`.
std::unique_ptr<ModalDriver> nameDialogAnswers(const QString &name, QStringList *shown = nullptr)
{
    return std::make_unique<ModalDriver>([name, shown](QDialog *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileName"));
        if (shown)
            *shown << edit->text();
        edit->setText(name);
        dialog->accept();
    });
}

class SimTransferTest : public ::testing::Test
{
protected:
    SimTransferTest()
    {
        QDir(dir.path()).mkpath(QStringLiteral("printer/DIR"));
        folder = dir.filePath(QStringLiteral("printer"));
        record = dir.filePath(QStringLiteral("wire.bin"));
    }
    ~SimTransferTest() override { frame.reset(); }

    // The simulator on a TCP port, or with `pty` on a pseudo-terminal the
    // terminal opens as its serial device.
    void start(QStringList simArgs = {}, bool pty = false)
    {
        frame.reset();
        simArgs += QStringList{"--dir", folder, "--record", record};
        sim = std::make_unique<PrinterSim>(pty ? QStringList{"--pty"} + simArgs
                                               : QStringList{"--tcp", "0"} + simArgs);
        ASSERT_TRUE(sim->isRunning());
        frame = std::make_unique<CMainFrame>(dir.filePath(QStringLiteral("o.ini")));
        frame->show();
        TerminalSettings &s = frame->settings();
        if (pty) {
            s.portKind = 1;
            s.comDevice = sim->ptyPath();
        } else {
            s.portKind = 0;
            s.address = QStringLiteral("127.0.0.1");
            s.portNumber = sim->tcpPort();
            s.socketType = 1;
        }
        s.localEcho = false;
        frame->OnTerminalStart();
        ASSERT_TRUE(frame->isRunning());
    }

    QTemporaryDir dir;
    QString folder;
    QString record;
    RecordingUiServices ui;
    std::unique_ptr<PrinterSim> sim;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(SimTransferTest, fileSentToThePrinterGoesOutBehindItsHeaderOverTcpAndSerial)
{
    const QString path = dir.filePath(QStringLiteral("greeting.txt"));
    ASSERT_TRUE(writeFileBytes(path, "hello"));
    for (bool pty : {false, true}) {
        QFile::remove(record);
        start({}, pty);
        QStringList proposed;
        auto driver = nameDialogAnswers(QStringLiteral("HELLO"), &proposed);
        // In hex mode too the header goes out as text, not the hex input.
        for (bool hex : {false, true}) {
            if (hex)
                frame->action(CommandId::HexMode)->trigger();
            ui.files = {path};
            QAction *send = frame->action(CommandId::SendFileToPrinter);
            ASSERT_TRUE(eventually([&] { return send->isEnabled(); })); // the last send is done
            send->trigger();
            ASSERT_TRUE(sim->waitFor(hex ? "stored HELLO (5 bytes, CRC 907060870 ok)\nstored HELLO"
                                         : "stored HELLO (5 bytes, CRC 907060870 ok)"))
                << sim->output().toStdString();
        }
        EXPECT_EQ(proposed, QStringList({"greeting.txt", "greeting.txt"}));
        EXPECT_EQ(fileBytes(record), QByteArray("\x02#T=HELLO,5,907060870*\x03hello").repeated(2))
            << "pty " << pty;
        EXPECT_EQ(fileBytes(folder + QStringLiteral("/HELLO")), "hello");
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST_F(SimTransferTest, plainSendWithoutEchoShowsThePathAndLargeFilesArriveExactly)
{
    start();
    const QString path = dir.filePath(QStringLiteral("big.bin"));
    // Large enough to span many reads and writes; smaller where a sanitizer
    // makes every byte slow.
    QByteArray big(50 * 1024 * 1024 / deadlineScale(), '\0');
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>((i * 7919) >> 5);
    ASSERT_TRUE(writeFileBytes(path, big));

    ui.files = {path};
    frame->action(CommandId::SendFile)->trigger();
    EXPECT_FALSE(frame->action(CommandId::SendFile)->isEnabled()); // one file at a time
    EXPECT_EQ(frame->view()->widget()->buffer().text(),
              "-> [" + QDir::toNativeSeparators(path).toUtf8() + "]\n");
    EXPECT_EQ(frame->view()->widget()->buffer().colorRuns().back().color,
              CRuKTerminalView::kSentColor);
    ASSERT_TRUE(eventually([&] { return QFileInfo(record).size() >= big.size(); }, 60000));
    EXPECT_TRUE(fileBytes(record) == big);

    // To the printer: the whole file behind its header, checked by the printer.
    ASSERT_TRUE(eventually([&] { return frame->action(CommandId::SendFile)->isEnabled(); }));
    ui.files = {path};
    auto driver = nameDialogAnswers(QStringLiteral("BIG"));
    frame->action(CommandId::SendFileToPrinter)->trigger();
    const QByteArray line = "stored BIG (" + QByteArray::number(big.size()) + " bytes, CRC "
                            + QByteArray::number(ComputeCrc32(big.constData(), big.size()))
                            + " ok)";
    ASSERT_TRUE(sim->waitFor(line.constData(), 60000)) << sim->output().toStdString();
    EXPECT_TRUE(fileBytes(folder + QStringLiteral("/BIG")) == big);
    ASSERT_TRUE(eventually([&] { return frame->action(CommandId::SendFile)->isEnabled(); }));
    EXPECT_TRUE(frame->findChild<QProgressBar *>(QStringLiteral("sendProgress"))->isHidden());
}

TEST_F(SimTransferTest, filesFetchedFromThePrinterAreCheckedAgainstTheirCrc)
{
    const QByteArray content = "0123456789*abcdefghij,klmnopqrstuvwxyz\r\n" + QByteArray(300, 'z');
    struct Case
    {
        const char *name;
        QStringList simArgs;
        QByteArray file;
        int messageId;
    } cases[] = {
        {"answer in 7-byte blocks", {"--block", "7", "--block-delay", "1"}, content, 139},
        {"wrong CRC", {"--bad-crc"}, content, 138},
        {"empty file", {}, QByteArray(), 139},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(writeFileBytes(folder + QStringLiteral("/DIR/A.TXT"), c.file));
        start(c.simArgs);
        const QString target = dir.filePath(QStringLiteral("got.txt"));
        ASSERT_TRUE(writeFileBytes(target, "old contents"));
        ui.files = {target};
        ui.messages.clear();
        auto driver = nameDialogAnswers(QStringLiteral("DIR\\A.TXT"));
        frame->action(CommandId::ReceivePrinterFile)->trigger();
        EXPECT_EQ(ui.fileDialogs.back().proposedName, "A.TXT") << c.name;
        EXPECT_TRUE(frame->action(CommandId::CancelPrinterReception)->isEnabled()) << c.name;
        ASSERT_TRUE(eventually([&] { return !ui.messages.empty(); })) << c.name;
        const QString text = c.messageId == 139
                                 ? QStringLiteral("File [%1] has been received successfully!")
                                 : QStringLiteral("Bad CRC checksum while transferring file [%1]!");
        EXPECT_EQ(ui.messages[0].text, text.arg(QDir::toNativeSeparators(target))) << c.name;
        EXPECT_EQ(ui.messages[0].icon, UiServices::Icon::None) << c.name;
        EXPECT_TRUE(fileBytes(target) == c.file) << c.name;
        EXPECT_FALSE(frame->action(CommandId::CancelPrinterReception)->isEnabled()) << c.name;
        EXPECT_EQ(ui.beeps, 0) << c.name;
        EXPECT_TRUE(fileBytes(record).endsWith("\x02#G=DIR\\A.TXT*\x03")) << c.name;
        frame.reset();
    }
}

// Answers played at the far end of a socket pair, to reach every corner.
TEST_F(SendingTest, receptionEndsCleanlyOnOddAnswersAndCanBeCancelled)
{
    start();
    const QString target = dir.filePath(QStringLiteral("in.bin"));
    const QByteArray crc5 = QByteArray::number(ComputeCrc32("ABCDE", 5));
    struct Case
    {
        const char *name;
        QString target;
        QByteArray answer;
        QByteArray file;
        QString message; // empty: none
        int beeps;
    } cases[] = {
        {"bytes beyond the size", target, "#T=X,5," + crc5 + "*ABCDEFGH", "ABCDE",
         "File [%1] has been received successfully!", 0},
        {"size 0", target, "#T=X,0,0*", "", "File [%1] has been received successfully!", 0},
        {"size beyond 32 bits", target, "#T=X,4294967296,0*ABCDE", "<missing>", "", 1},
        {"target not writable", dir.filePath(QStringLiteral("no/such/dir/in.bin")),
         "#T=X,5," + crc5 + "*ABCDE", "<missing>", "The file [%1] cannot be written", 1},
    };
    for (const Case &c : cases) {
        QFile::remove(target);
        ui.files = {c.target};
        ui.messages.clear();
        ui.beeps = 0;
        frame->view()->ClearDisplay();
        auto driver = nameDialogAnswers(QStringLiteral("X"));
        frame->OnReceivePrinterFile();
        EXPECT_EQ(sentSoFar(), "\x02#G=X*\x03") << c.name;
        link.writeFar(c.answer);
        ASSERT_TRUE(eventually([&] { return !frame->IsPrinterReceptionActive(); })) << c.name;
        QCoreApplication::processEvents(); // the posted result
        EXPECT_TRUE(fileBytes(c.target) == c.file) << c.name;
        EXPECT_EQ(ui.beeps, c.beeps) << c.name;
        if (c.message.isEmpty()) {
            EXPECT_TRUE(ui.messages.empty()) << c.name;
        } else {
            ASSERT_EQ(ui.messages.size(), 1u) << c.name;
            EXPECT_TRUE(
                ui.messages[0].text.startsWith(c.message.arg(QDir::toNativeSeparators(c.target))))
                << c.name << ": " << ui.messages[0].text.toStdString();
        }
        // The whole answer is shown, its "*" as a 0x00 byte.
        ASSERT_TRUE(eventually([&] { return displayText().size() == c.answer.size(); })) << c.name;
        EXPECT_EQ(displayText(), QByteArray(c.answer).replace('*', '.')) << c.name;
    }

    // Progress in bytes of the announced size, and a reception that is
    // cancelled: the file of that name stays, what arrived is kept beside it.
    auto driver = nameDialogAnswers(QStringLiteral("X"));
    ui.files = {target};
    ui.messages.clear();
    ASSERT_TRUE(writeFileBytes(target, "old contents"));
    frame->OnReceivePrinterFile();
    link.writeFar("#T=X,400,0*" + QByteArray(100, 'p'));
    auto *percent = frame->findChild<QLabel *>(QStringLiteral("sendPercent"));
    ASSERT_TRUE(eventually([&] { return percent->text() == "25%"; }));
    QAction *cancel = frame->action(CommandId::CancelPrinterReception);
    ASSERT_TRUE(cancel->isEnabled());
    cancel->trigger();
    EXPECT_FALSE(frame->IsPrinterReceptionActive());
    EXPECT_FALSE(cancel->isEnabled());
    EXPECT_TRUE(frame->findChild<QProgressBar *>(QStringLiteral("sendProgress"))->isHidden());
    EXPECT_EQ(fileBytes(target), "old contents");
    EXPECT_EQ(fileBytes(target + QStringLiteral(".part")), QByteArray(100, 'p'));
    ASSERT_TRUE(eventually([&] { return !ui.messages.empty(); }));
    EXPECT_EQ(ui.messages[0].text,
              QStringLiteral("The reception of [%1] was cancelled.\nThe bytes received so far "
                             "are kept in [%1.part]; [%1] was not changed.")
                  .arg(QDir::toNativeSeparators(target)));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files).filter(".in.bin").isEmpty())
        << "no temporary file is left";
}

TEST_F(SendingTest, stopEndsAFileSendAndOtherSendsFollowTheFile)
{
    start();
    const QString path = dir.filePath(QStringLiteral("f.bin"));
    const QByteArray file(2 * CFileSender::kMaxQueuedBlocks * CFileSender::kBlockSize, 'f');
    ASSERT_TRUE(writeFileBytes(path, file));
    auto *progress = frame->findChild<QProgressBar *>(QStringLiteral("sendProgress"));

    link.holdWriter(true);
    ui.files = {path};
    frame->action(CommandId::SendFile)->trigger();
    EXPECT_FALSE(progress->isHidden());
    frame->textInput()->setPlainText(QStringLiteral("AT"));
    frame->SendInputText(true);
    link.holdWriter(false);
    const QByteArray expected = file
                                + "\x02"
                                  "AT\x03\r\n";
    QByteArray got;
    ASSERT_TRUE(eventually(
        [&] {
            got += link.readFar(expected.size() - got.size(), std::chrono::milliseconds(5));
            return got.size() >= expected.size();
        },
        30000));
    EXPECT_TRUE(got == expected);
    ASSERT_TRUE(eventually([&] { return progress->isHidden(); }));

    // Stop ends the send at once: nothing further is read or queued.
    link.holdWriter(true);
    ui.files = {path};
    frame->action(CommandId::SendFile)->trigger();
    EXPECT_TRUE(frame->fileSender()->isBusy());
    frame->OnTerminalStop();
    EXPECT_FALSE(frame->fileSender()->isBusy());
    EXPECT_TRUE(progress->isHidden());
    EXPECT_LT(link.readFar(file.size(), std::chrono::milliseconds(200)).size(), file.size());
}

} // namespace
