#include "dialogs/HotKeyDlg.h"

#include "platform/ProfileFile.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kSection = QStringLiteral("HotKeys");

class HotKeyDlgTest : public ::testing::Test
{
protected:
    HotKeyDlgTest() { iniPath = dir.filePath(QStringLiteral("o.ini")); }

    std::unique_ptr<CHotKeyDlg> open()
    {
        auto d = std::make_unique<CHotKeyDlg>(iniPath, receiveTexts, mask);
        d->show();
        return d;
    }
    template<typename T>
    static T *row(QDialog *d, const char *name, int i)
    {
        T *w = d->findChild<T *>(QLatin1String(name) + QString::number(i));
        EXPECT_NE(w, nullptr) << name << i;
        return w;
    }
    QString value(const QString &key) const
    {
        return profile::getString(kSection, key, QStringLiteral("<missing>"), 4096, iniPath);
    }
    QByteArray iniBytes() const
    {
        QFile f(iniPath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }

    QTemporaryDir dir;
    QString iniPath;
    std::array<QString, 12> receiveTexts;
    std::uint32_t mask = 0;
};

TEST_F(HotKeyDlgTest, opensWithTheFileAndTheTerminalsTriggers)
{
    const QString longText(3000, u'T');
    profile::writeString(kSection, "HotKeyText0", "ATZ", iniPath);
    profile::writeString(kSection, "HotKeyText3", longText, iniPath);
    profile::writeString(kSection, "HotKeyCRLF0", "1", iniPath);
    profile::writeString(kSection, "HotKeyHex5", "7", iniPath);
    profile::writeString(kSection, "HotKeyReceiveText2", "from the file", iniPath);
    receiveTexts[2] = "from memory";
    receiveTexts[4] = "off but kept";
    mask = 0x4 | 0x800;

    auto d = open();
    EXPECT_EQ(row<QLineEdit>(d.get(), "hotKeyText", 0)->text(), "ATZ");
    EXPECT_EQ(row<QLineEdit>(d.get(), "hotKeyText", 3)->text(), longText.left(2046));
    EXPECT_EQ(row<QLineEdit>(d.get(), "hotKeyText", 3)->maxLength(), 2047);
    EXPECT_EQ(row<QLineEdit>(d.get(), "receiveText", 3)->maxLength(), 255);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(row<QCheckBox>(d.get(), "crlf", i)->isChecked(), i == 0) << i;
        EXPECT_EQ(row<QCheckBox>(d.get(), "hex", i)->isChecked(), i == 5) << i;
        EXPECT_EQ(row<QCheckBox>(d.get(), "receiveOn", i)->isChecked(), i == 2 || i == 11) << i;
        // A receive text can be edited exactly while its trigger is on.
        EXPECT_EQ(row<QLineEdit>(d.get(), "receiveText", i)->isEnabled(), i == 2 || i == 11) << i;
        EXPECT_EQ(row<QLineEdit>(d.get(), "receiveText", i)->text(), receiveTexts[i]) << i;
    }
    row<QCheckBox>(d.get(), "receiveOn", 4)->click();
    row<QCheckBox>(d.get(), "receiveOn", 2)->click();
    EXPECT_TRUE(row<QLineEdit>(d.get(), "receiveText", 4)->isEnabled());
    EXPECT_FALSE(row<QLineEdit>(d.get(), "receiveText", 2)->isEnabled());
}

TEST_F(HotKeyDlgTest, okWritesEveryRowAndTheAutoReplyMask)
{
    receiveTexts[7] = "kept while off";
    mask = 0x80;
    auto d = open();
    const QString longText(300, u'L');
    row<QLineEdit>(d.get(), "hotKeyText", 1)->setText(longText);
    row<QCheckBox>(d.get(), "crlf", 1)->setChecked(true);
    row<QCheckBox>(d.get(), "hex", 9)->setChecked(true);
    row<QCheckBox>(d.get(), "receiveOn", 2)->setChecked(true); // F3 only
    row<QLineEdit>(d.get(), "receiveText", 2)->setText("ping");
    row<QCheckBox>(d.get(), "receiveOn", 7)->setChecked(false);
    d->findChild<QPushButton *>("okButton")->click();

    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(mask, 4u);
    EXPECT_EQ(value("AutoReply"), "4");
    EXPECT_EQ(receiveTexts[2], "ping");
    EXPECT_EQ(receiveTexts[7], "kept while off");
    for (int i = 0; i < 12; ++i) {
        const QString n = QString::number(i);
        EXPECT_EQ(value("HotKeyText" + n), i == 1 ? longText : QString()) << i;
        EXPECT_EQ(value("HotKeyCRLF" + n), i == 1 ? "1" : "0") << i;
        EXPECT_EQ(value("HotKeyHex" + n), i == 9 ? "1" : "0") << i;
        EXPECT_EQ(value("HotKeyReceiveText" + n), receiveTexts[i]) << i;
    }

    // All boxes cleared: the mask is 0 and the texts stay.
    auto again = open();
    row<QCheckBox>(again.get(), "receiveOn", 2)->setChecked(false);
    again->findChild<QPushButton *>("okButton")->click();
    EXPECT_EQ(value("AutoReply"), "0");
    EXPECT_EQ(value("HotKeyReceiveText2"), "ping");
}

TEST_F(HotKeyDlgTest, cancelChangesNothing)
{
    profile::writeString(kSection, "HotKeyText0", "old", iniPath);
    receiveTexts[0] = "trigger";
    mask = 1;
    const QByteArray before = iniBytes();
    auto d = open();
    row<QLineEdit>(d.get(), "hotKeyText", 0)->setText("new");
    row<QLineEdit>(d.get(), "receiveText", 0)->setText("changed");
    row<QCheckBox>(d.get(), "receiveOn", 0)->setChecked(false);
    d->findChild<QPushButton *>("cancelButton")->click();
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(iniBytes(), before);
    EXPECT_EQ(receiveTexts[0], "trigger");
    EXPECT_EQ(mask, 1u);
}

} // namespace
