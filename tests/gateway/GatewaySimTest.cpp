// A whole session with the gateway simulator at the far end of the line: it
// checks every frame by its own rules and reports the state they describe.
#include "GatewayFixture.h"

#include <QCheckBox>
#include <QProcess>

#include <fcntl.h>
#include <unistd.h>

namespace {

class GatewaySimTest : public GatewayTest
{
protected:
    void SetUp() override
    {
        sim.setProgram(QStringLiteral(ORBA_GATEWAY_SIM));
        sim.setArguments(
            {QStringLiteral("--pty"), QStringLiteral("--idle-ms"), QStringLiteral("100")});
        sim.start();
        ASSERT_TRUE(sim.waitForStarted());
        ASSERT_TRUE(waitForOutput("\n"));
        ASSERT_TRUE(output.startsWith("pty ")) << output.toStdString();
        const qsizetype at = 4;
        simPath = QString::fromLocal8Bit(output.mid(at, output.indexOf('\n', at) - at));
        output.clear();
        ini("Com", "Device", simPath);
    }
    void TearDown() override
    {
        // The terminal lets go of the line before the gateway goes.
        dialog.reset();
        frame.reset();
        sim.terminate();
        sim.waitForFinished();
    }
    bool waitForOutput(const QByteArray &needle, int ms = 10000)
    {
        return eventually(
            [&] {
                output += sim.readAllStandardOutput();
                return output.contains(needle);
            },
            ms);
    }
    // The last complete state block the simulator printed.
    QByteArray lastState() const
    {
        const qsizetype at = output.lastIndexOf("state\n");
        const qsizetype end = at < 0 ? -1 : output.indexOf("end\n", at);
        return end < 0 ? QByteArray() : output.mid(at, end + 4 - at);
    }
    // Until the last state block holds `needle`.
    bool waitForState(const QByteArray &needle)
    {
        return eventually([&] {
            output += sim.readAllStandardOutput();
            return lastState().contains(needle);
        });
    }

    QProcess sim;
    QString simPath;
    QByteArray output;
};

TEST_F(GatewaySimTest, aConfigurationSessionLeavesTheGatewayAsTheDialogShows)
{
    startTerminal();
    openDialog();
    for (const char *o : {"optionOD", "optionOG", "optionOW"})
        child<QCheckBox>(o)->setChecked(true);
    click("sendOptionsButton");
    type("paAreaEdit", "1");
    type("paLineEdit", "1");
    type("paDeviceEdit", "5");
    click("sendAddressButton");
    addAddress("5", "1", "10", 21, true);
    addAddress("1", "2", "3", 9, false);
    addAddress("15", "7", "255", 16, false);
    click("sendTableButton");
    ASSERT_TRUE(waitForState("table 3\n"));
    EXPECT_EQ(lastState(), QByteArray("state\n"
                                      "options OD+ OE- OG+ OH- ON- OR- OS- OV- OX- OQ- OW+\n"
                                      "pa 01.01.005\n"
                                      "table 3\n"
                                      "01/2/003 format 9 receive E\n"
                                      "05/1/010 format 21 receive D\n"
                                      "15/7/255 format 16 receive E\n"
                                      "end\n"));
    EXPECT_FALSE(output.contains("error")) << output.toStdString();
    // The simulator measured the pause after the erase at its end of the line.
    EXPECT_TRUE(output.contains("pause-after-erase 1"));

    // Reopened, the dialog shows what was sent; an upload of fewer rows
    // replaces the gateway's table.
    closeDialog();
    openDialog();
    EXPECT_EQ(rows().size(), 3);
    child<QTableView>("addressList")->selectRow(1);
    click("removeButton");
    click("sendTableButton");
    ASSERT_TRUE(waitForState("table 2\n"));
    EXPECT_TRUE(lastState().endsWith("table 2\n"
                                     "01/2/003 format 9 receive E\n"
                                     "15/7/255 format 16 receive E\n"
                                     "end\n"));
    EXPECT_FALSE(output.contains("error")) << output.toStdString();
}

TEST_F(GatewaySimTest, theSimulatorReportsMalformedFrames)
{
    const int fd = ::open(simPath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    const QByteArray bytes("\x02OD+\x03"
                           "junk"
                           "\x02OZ+\x03"
                           "\x02P:16.00.001\x03"
                           "\x02S01/2/003:09,E\x03"
                           "\x02S01/8/003:9,E\x03"
                           "\x02S01/2/003:22,E\x03"
                           "\x02S01/2/003:9,E\x03");
    ASSERT_EQ(::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
    ASSERT_TRUE(waitForState("table 1\n"));
    ::close(fd);
    EXPECT_TRUE(output.contains("ok OD+\n"));
    EXPECT_TRUE(output.contains("error bytes outside a frame: junk\n"));
    EXPECT_TRUE(output.contains("error unknown option: OZ+\n"));
    EXPECT_TRUE(output.contains("error physical address out of range: P:16.00.001\n"));
    EXPECT_TRUE(output.contains("error definition not in the form"));
    EXPECT_TRUE(output.contains("error group address out of range: S01/8/003:9,E\n"));
    EXPECT_TRUE(output.contains("error format not 1-21: S01/2/003:22,E\n"));
    EXPECT_TRUE(output.contains("ok S01/2/003:9,E\n"));
}

} // namespace
