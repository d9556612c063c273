// The gateway's commands as they arrive at the far end of a serial line.
#include "GatewayFixture.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

TEST_F(GatewayTest, optionsAndPhysicalAddressGoOutAsFramesAndAreEchoed)
{
    startTerminal();
    openDialog();
    const char *const options[]
        = {"OD", "OE", "OG", "OH", "ON", "OR", "OS", "OV", "OX", "OQ", "OW"};
    for (const QList<int> &ticked : {QList<int>{}, QList<int>{0, 2, 5, 10}}) {
        QByteArray wire;
        for (int i = 0; i < 11; ++i) {
            child<QCheckBox>(qPrintable(QStringLiteral("option") + options[i]))
                ->setChecked(ticked.contains(i));
            wire += '\x02' + QByteArray(options[i]) + (ticked.contains(i) ? '+' : '-') + '\x03';
        }
        frame->view()->ClearDisplay();
        link.writes.clear();
        click("sendOptionsButton");
        EXPECT_EQ(readFar(55), wire);
        EXPECT_EQ(link.writes, QList<QByteArray>{wire}); // in one write
        // Echoed as sent data although local echo is off (the display drops
        // STX and shows ETX as a line end).
        EXPECT_EQ(displayText(), QByteArray(wire).replace('\x02', "").replace('\x03', '\n'));
    }
    const struct
    {
        const char *area, *line, *device, *wire;
    } addresses[] = {
        {"", "", "", "P:00.00.000"},
        {"1", "1", "5", "P:01.01.005"},
        {"15", "15", "255", "P:15.15.255"},
        {"1", "16", "1", "P:01.00.001"},  // line 16 sets the lowest area bit, set already
        {"16", "1", "1", "P:00.01.001"},  // area bits above the fourth are lost
        {"0", "0", "257", "P:00.01.001"}, // device values above 255 set line bits
    };
    for (const auto &c : addresses) {
        SCOPED_TRACE(c.wire);
        type("paAreaEdit", QLatin1String(c.area));
        type("paLineEdit", QLatin1String(c.line));
        type("paDeviceEdit", QLatin1String(c.device));
        click("sendAddressButton");
        EXPECT_EQ(readFar(13), frames({c.wire}));
    }
    EXPECT_TRUE(readRest().isEmpty());
}

TEST_F(GatewayTest, theTableFollowsTheEraseAfterThePauseWhileTheWindowWorks)
{
    startTerminal();
    openDialog();
    // An empty table: only the erase frame, no progress.
    click("sendTableButton");
    EXPECT_EQ(readFar(8), frames({"ERASE!"}));
    EXPECT_TRUE(sendButtonsEnabled(false));
    EXPECT_TRUE(eventually([&] { return sendButtonsEnabled(true); }));
    EXPECT_TRUE(readRest().isEmpty());
    EXPECT_EQ(progressShows, 0);

    frame->view()->ClearDisplay();
    addAddress("5", "1", "10", 21, true);
    addAddress("1", "2", "3", 9, false);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    QElapsedTimer sincePressed;
    sincePressed.start();
    click("sendTableButton");
    // The click returned at once: the erase is out, the Send buttons wait.
    EXPECT_EQ(readFar(8), frames({"ERASE!"}));
    EXPECT_TRUE(sendButtonsEnabled(false));
    const QByteArray definitions = frames({"S01/2/003:9,E", "S05/1/010:21,D"});
    EXPECT_EQ(readFar(definitions.size()), definitions);
    EXPECT_GE(sincePressed.elapsed(), 1500);
    EXPECT_GE(ticks, 10); // the window handled its events during the pause
    EXPECT_EQ(progressShows, 1);
    EXPECT_TRUE(sendButtonsEnabled(true));
    EXPECT_EQ(displayText(), QByteArray("ERASE!\nS01/2/003:9,E\nS05/1/010:21,D\n"));
}

TEST_F(GatewayTest, thePauseOutlivesTheDialogButNotTheTerminal)
{
    startTerminal();
    openDialog();
    addAddress("1", "2", "3", 9, false);
    click("sendTableButton");
    EXPECT_EQ(readFar(8), frames({"ERASE!"}));
    // Closed during the pause: the table goes out as it was when Send was pressed.
    ui.answers.push_back(UiServices::Answer::Yes);
    click("removeAllButton");
    closeDialog();
    EXPECT_EQ(iniValue("GAS", "1"), QString());
    // A dialog opened during the pause cannot start a second upload.
    openDialog();
    EXPECT_FALSE(child<QPushButton>("sendTableButton")->isEnabled());
    EXPECT_EQ(readFar(15), frames({"S01/2/003:9,E"}));
    EXPECT_TRUE(eventually([&] { return child<QPushButton>("sendTableButton")->isEnabled(); }));

    // Stopping the terminal during the pause says the definitions were not sent.
    addAddress("1", "2", "3", 9, false);
    click("sendTableButton");
    EXPECT_EQ(readFar(8), frames({"ERASE!"}));
    closeDialog();
    frame->OnTerminalStop();
    ASSERT_TRUE(eventually([&] { return !ui.messages.empty(); }));
    EXPECT_TRUE(ui.messages.front().text.contains(QLatin1String("Definitions not sent: 1")));
    EXPECT_EQ(ui.beeps, 1);
}

TEST_F(GatewayTest, menuCommandOpensTheDialogModallyAndClosingSaves)
{
    startTerminal();
    QTimer::singleShot(0, [] {
        if (auto *d = qobject_cast<CGatewayDlg *>(QApplication::activeModalWidget())) {
            d->findChild<QCheckBox *>(QStringLiteral("optionOG"))->setChecked(true);
            d->reject();
        }
    });
    frame->action(32777)->trigger();
    EXPECT_EQ(iniValue("SETTINGS", "3"), QStringLiteral("1"));
    EXPECT_EQ(iniValue("GAS", "1"), QString());
    EXPECT_EQ(iniValue("PA", "Address"), QStringLiteral("00.00.000"));
}

} // namespace
