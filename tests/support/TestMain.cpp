#include <QApplication>

#include <gtest/gtest.h>

// GUI tests run headless and never block on a modal dialog (UiServices is
// replaced by a recorder where a test needs it).
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("ORBA-Test"));
    QApplication::setApplicationName(QStringLiteral("ORBATerminal-Test"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
