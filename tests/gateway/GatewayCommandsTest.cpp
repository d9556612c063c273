// The gateway's commands as they arrive at the far end of a serial line.
#include "GatewayFixture.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QTimer>

namespace {

QByteArray frames(std::initializer_list<const char *> texts)
{
    QByteArray out;
    for (const char *t : texts)
        out += '\x02' + QByteArray(t) + '\x03';
    return out;
}

const char *const kOptions[] = {"OD", "OE", "OG", "OH", "ON", "OR", "OS", "OV", "OX", "OQ", "OW"};

TEST_F(GatewayTest, optionsGoOutAsElevenFramesInOneWriteAndAreEchoed)
{
    startTerminal();
    openDialog();
    const struct
    {
        QList<int> ticked;
        QByteArray wire;
    } cases[] = {
        {{}, frames({"OD-", "OE-", "OG-", "OH-", "ON-", "OR-", "OS-", "OV-", "OX-", "OQ-", "OW-"})},
        {{0, 10},
         frames({"OD+", "OE-", "OG-", "OH-", "ON-", "OR-", "OS-", "OV-", "OX-", "OQ-", "OW+"})},
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
         frames({"OD+", "OE+", "OG+", "OH+", "ON+", "OR+", "OS+", "OV+", "OX+", "OQ+", "OW+"})},
    };
    for (const auto &c : cases) {
        for (int i = 0; i < 11; ++i)
            child<QCheckBox>(qPrintable(QStringLiteral("option") + kOptions[i]))
                ->setChecked(c.ticked.contains(i));
        frame->view()->ClearDisplay();
        link.writes.clear();
        click("sendOptionsButton");
        EXPECT_EQ(readFar(55), c.wire);
        EXPECT_EQ(link.writes, QList<QByteArray>{c.wire});
        // Echoed as sent data although local echo is off (the display drops
        // STX and shows ETX as a line end).
        EXPECT_EQ(displayText(), QByteArray(c.wire).replace('\x02', "").replace('\x03', '\n'));
    }
    EXPECT_TRUE(readRest().isEmpty());
}

TEST_F(GatewayTest, physicalAddressFieldsFoldIntoTheAddressWord)
{
    startTerminal();
    openDialog();
    const struct
    {
        const char *area, *line, *device;
        const char *wire;
    } cases[] = {
        {"", "", "", "P:00.00.000"},
        {"1", "1", "5", "P:01.01.005"},
        {"15", "15", "255", "P:15.15.255"},
        // Line 16 sets the lowest area bit, which is set already.
        {"1", "16", "1", "P:01.00.001"},
        // Area bits above the fourth are lost.
        {"16", "1", "1", "P:00.01.001"},
        // Device values above 255 set line bits.
        {"0", "0", "257", "P:00.01.001"},
    };
    for (const auto &c : cases) {
        type("paAreaEdit", QLatin1String(c.area));
        type("paLineEdit", QLatin1String(c.line));
        type("paDeviceEdit", QLatin1String(c.device));
        click("sendAddressButton");
        const QByteArray expected = frames({c.wire});
        EXPECT_EQ(readFar(expected.size()), expected) << c.area << "." << c.line << "." << c.device;
    }
}

TEST_F(GatewayTest, sendButtonsStayDisabledWhenTheTerminalIsNotRunning)
{
    startTerminal(false);
    openDialog();
    for (const char *b : {"sendOptionsButton", "sendAddressButton", "sendTableButton"})
        EXPECT_FALSE(child<QPushButton>(b)->isEnabled()) << b;
    for (const char *b : {"addButton", "saveButton", "loadButton", "importButton"})
        EXPECT_TRUE(child<QPushButton>(b)->isEnabled()) << b;
}

TEST_F(GatewayTest, emptyTableSendsOnlyTheEraseFrameAndNoProgress)
{
    startTerminal();
    openDialog();
    click("sendTableButton");
    EXPECT_EQ(readFar(8), frames({"ERASE!"}));
    EXPECT_FALSE(child<QPushButton>("sendTableButton")->isEnabled());
    EXPECT_TRUE(eventually([&] { return child<QPushButton>("sendTableButton")->isEnabled(); }));
    EXPECT_TRUE(readRest().isEmpty());
    EXPECT_EQ(progressShows.shows, 0);
}

TEST_F(GatewayTest, definitionsFollowTheEraseAfterThePauseWhileTheWindowWorks)
{
    startTerminal();
    openDialog();
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
    for (const char *b : {"sendOptionsButton", "sendAddressButton", "sendTableButton"})
        EXPECT_FALSE(child<QPushButton>(b)->isEnabled()) << b;

    const QByteArray definitions = frames({"S01/2/003:9,E", "S05/1/010:21,D"});
    EXPECT_EQ(readFar(definitions.size()), definitions);
    EXPECT_GE(sincePressed.elapsed(), 1500);
    // The window handled its events during the pause.
    EXPECT_GE(ticks, 10);
    EXPECT_EQ(progressShows.shows, 1);
    for (const char *b : {"sendOptionsButton", "sendAddressButton", "sendTableButton"})
        EXPECT_TRUE(child<QPushButton>(b)->isEnabled()) << b;
    // Both writes are shown as sent data.
    EXPECT_EQ(displayText(), QByteArray("ERASE!\nS01/2/003:9,E\nS05/1/010:21,D\n"));
}

TEST_F(GatewayTest, closingDuringThePauseStillSendsTheTableAsItWasWhenSendWasPressed)
{
    startTerminal();
    openDialog();
    addAddress("1", "2", "3", 9, false);
    click("sendTableButton");
    EXPECT_EQ(readFar(8), frames({"ERASE!"}));
    ui.answers.push_back(UiServices::Answer::Yes);
    click("removeAllButton");
    EXPECT_TRUE(rows().isEmpty());
    closeDialog();
    EXPECT_EQ(iniValue("GAS", "1"), QString());

    // A dialog opened during the pause cannot start a second upload.
    openDialog();
    EXPECT_FALSE(child<QPushButton>("sendTableButton")->isEnabled());
    const QByteArray definition = frames({"S01/2/003:9,E"});
    EXPECT_EQ(readFar(definition.size()), definition);
    EXPECT_TRUE(eventually([&] { return child<QPushButton>("sendTableButton")->isEnabled(); }));
}

TEST_F(GatewayTest, stoppingTheTerminalDuringThePauseSaysTheDefinitionsWereNotSent)
{
    startTerminal();
    openDialog();
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
    // The command runs the dialog modally; closing it from inside its loop.
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
