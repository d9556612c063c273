// Hotkeys that answer received text, and the hotkey configuration they open,
// over a real link with the dialogs driven headless.
#include "SendingFixture.h"

#include "dialogs/CharMapDlg.h"
#include "dialogs/HotKeyDlg.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kHotKeys = QStringLiteral("HotKeys");
const QByteArray kPong = "\x02pong\x03";

class SendingHotKeyTest : public SendingTest
{
protected:
    void trigger(int i, const QString &receiveText)
    {
        ini(kHotKeys, QStringLiteral("HotKeyReceiveText%1").arg(i), receiveText);
    }
    void autoReply(int mask) { ini(kHotKeys, QStringLiteral("AutoReply"), QString::number(mask)); }

    // Sends `bytes` from the far end and lets the display show them (as
    // `shown` when that differs).
    bool receive(const QByteArray &bytes, const QByteArray &shown = {})
    {
        const QByteArray expected = displayText() + (shown.isNull() ? bytes : shown);
        link.writeFar(bytes);
        return eventually([&] { return displayText() == expected; });
    }
};

TEST_F(SendingHotKeyTest, triggerAnswersWhenItsTextArrivesAcrossBlocks)
{
    hotKey(1, "pong");
    trigger(1, "OK");
    autoReply(2);
    start();
    ASSERT_TRUE(receive("O"));
    ASSERT_TRUE(receive("K"));
    EXPECT_EQ(sentSoFar(), kPong);

    // The O that breaks the match is not taken as a new start.
    ASSERT_TRUE(receive("O"));
    ASSERT_TRUE(receive("OK"));
    EXPECT_EQ(sentSoFar(), "");
    ASSERT_TRUE(receive("xOKOK"));
    EXPECT_EQ(sentSoFar(), kPong + kPong);
}

TEST_F(SendingHotKeyTest, hotKeyWithoutTextOpensTheConfigurationAndCancelStillRefreshes)
{
    hotKey(0, "");
    hotKey(1, "sent");
    auto ports = std::make_unique<CTestPorts>(&link);
    frame = std::make_unique<CMainFrame>(iniPath, std::move(ports));
    ModalDriver driver([this](QDialog *d) {
        // Written behind the dialog's back; Cancel must show it all the same.
        ini(kHotKeys, QStringLiteral("HotKeyText0"), QStringLiteral("fresh"));
        d->reject();
    });

    // Stopped: any hotkey opens the configuration instead of sending.
    frame->FireHotKey(1);
    EXPECT_EQ(driver.opened, QStringList{"CHotKeyDlg"});
    EXPECT_EQ(frame->hotKeyCaption(0), "F1: fresh");
    EXPECT_EQ(iniValue(kHotKeys, "HotKeyText1"), "sent"); // Cancel wrote nothing

    // Running: a hotkey with no text and no CR LF does the same.
    hotKey(0, "");
    frame->OnTerminalStart();
    frame->FireHotKey(0);
    EXPECT_EQ(driver.opened.size(), 2);
    EXPECT_EQ(sentSoFar(), "");
}

// A trigger whose hotkey opens the configuration: the dialog must not open
// inside the showing of the block (its event loop would show further blocks
// out of turn), blocks arriving while it is open are shown once each, and
// further such triggers do not open a second dialog.
TEST_F(SendingHotKeyTest, configurationFromATriggerOpensAfterTheBlockAndOnlyOnce)
{
    hotKey(0, "");
    hotKey(1, "pong");
    trigger(0, "X");
    trigger(1, "Y");
    autoReply(3);
    start();

    QByteArray displayAtOpen;
    QByteArray sentAtOpen;
    bool laterBlockShownWhileOpen = false;
    ModalDriver driver([&](QDialog *d) {
        displayAtOpen = displayText();
        sentAtOpen = sentSoFar();
        link.writeFar("cXdY");
        laterBlockShownWhileOpen = eventually([&] { return displayText() == "aXbYcXdY"; });
        d->reject();
    });
    link.writeFar("aXbY");
    ASSERT_TRUE(eventually([&] { return !driver.opened.isEmpty(); }));
    ASSERT_TRUE(eventually([&] { return !frame->isHotKeyConfigurationOpen(); }));

    EXPECT_EQ(displayAtOpen, "aXbY");
    EXPECT_EQ(sentAtOpen, kPong); // the whole block was dealt with first
    EXPECT_TRUE(laterBlockShownWhileOpen);
    ASSERT_TRUE(receive("Y"));
    EXPECT_EQ(displayText(), "aXbYcXdYY");
    EXPECT_EQ(sentSoFar(), kPong + kPong);
    EXPECT_EQ(driver.opened, QStringList{"CHotKeyDlg"});
    EXPECT_FALSE(driver.stacked);
}

TEST_F(SendingHotKeyTest, configurationFromATriggerWaitsForAnOpenDialog)
{
    hotKey(0, "");
    trigger(0, "X");
    autoReply(1);
    start();
    bool openedOverTheOther = true;
    ModalDriver driver([&](QDialog *d) {
        if (qobject_cast<CCharMapDlg *>(d)) {
            EXPECT_TRUE(receive("X"));
            openedOverTheOther = frame->isHotKeyConfigurationOpen();
        }
        d->reject();
    });
    frame->OnCharacterMapping();
    EXPECT_FALSE(openedOverTheOther);
    ASSERT_TRUE(eventually([&] { return driver.opened.size() == 2; }));
    EXPECT_EQ(driver.opened, QStringList({"CCharMapDlg", "CHotKeyDlg"}));
    EXPECT_FALSE(driver.stacked);
}

TEST_F(SendingHotKeyTest, hotKeyDialogOkActsAtOnce)
{
    start();
    ModalDriver driver([](QDialog *d) {
        d->findChild<QLineEdit *>("hotKeyText0")->setText("pong");
        d->findChild<QCheckBox *>("receiveOn0")->setChecked(true);
        d->findChild<QLineEdit *>("receiveText0")->setText("ping");
        d->findChild<QPushButton *>("okButton")->click();
    });
    frame->OnHotKeys();
    EXPECT_EQ(frame->hotKeyCaption(0), "F1: pong");
    EXPECT_EQ(iniValue(kHotKeys, "AutoReply"), "1");
    EXPECT_EQ(frame->settings().receiveTexts[0], "ping");
    ASSERT_TRUE(receive("ping"));
    EXPECT_EQ(sentSoFar(), kPong);
}

TEST_F(SendingHotKeyTest, mappingDialogPreparesTheTriggersAgain)
{
    hotKey(0, "cr!");
    trigger(0, "<CR>");
    autoReply(1);
    start();
    ModalDriver driver([](QDialog *d) {
        d->findChild<QCheckBox *>("activeCheck")->setChecked(true);
        d->findChild<QLineEdit *>("codeEdit")->setText("0d");
        d->findChild<QLineEdit *>("textEdit")->setText("<CR>");
        d->findChild<QPushButton *>("addButton")->click();
        d->findChild<QPushButton *>("okButton")->click();
    });
    frame->OnCharacterMapping();
    EXPECT_TRUE(frame->settings().display.charMappingOn);
    // The trigger text now stands for the byte 0x0D; shown by its name.
    link.writeFar("\r");
    ASSERT_TRUE(eventually([&] { return displayText() == "<CR>"; }));
    EXPECT_EQ(sentSoFar(), "\x02"
                           "cr!\x03");
}

} // namespace
