#include "dialogs/AboutDlg.h"

#include <QLabel>

#include <gtest/gtest.h>

TEST(AboutDlgTest, showsNameVersionAndIcon)
{
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About ORBA Terminal"));
    EXPECT_EQ(about.findChild<QLabel *>(QStringLiteral("versionLabel"))->text(),
              QStringLiteral("ORBATerminal Version 1.19"));
    EXPECT_FALSE(about.findChild<QLabel *>(QStringLiteral("iconLabel"))->pixmap().isNull());
}
