// A whole session with the gateway simulator at the far end of the line: it
// checks every frame by its own rules and reports the state they describe.
#include "GatewayFixture.h"

#include <QProcess>

namespace {

class GatewaySimTest : public GatewayTest
{
protected:
    void SetUp() override
    {
        sim.setProgram(QStringLiteral(ORBA_GATEWAY_SIM));
        sim.setArguments({"--pty", "--idle-ms", "100"});
        sim.start();
        ASSERT_TRUE(sim.waitForStarted());
        ASSERT_TRUE(waitForOutput([&] { return output.contains('\n'); }));
        ASSERT_TRUE(output.startsWith("pty ")) << output.toStdString();
        ini("Com", "Device", QString::fromLocal8Bit(output.mid(4, output.indexOf('\n') - 4)));
        output.clear();
    }
    void TearDown() override
    {
        // The terminal lets go of the line before the gateway goes.
        dialog.reset();
        frame.reset();
        sim.terminate();
        sim.waitForFinished();
    }
    template<typename Pred>
    bool waitForOutput(Pred done)
    {
        return eventually([&] {
            output += sim.readAllStandardOutput();
            return done();
        });
    }
    // The last complete state block the simulator printed.
    QByteArray lastState() const
    {
        const qsizetype at = output.lastIndexOf("state\n");
        const qsizetype end = at < 0 ? -1 : output.indexOf("end\n", at);
        return end < 0 ? QByteArray() : output.mid(at, end + 4 - at);
    }
    bool waitForState(const QByteArray &needle)
    {
        return waitForOutput([&] { return lastState().contains(needle); });
    }

    QProcess sim;
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

} // namespace
