// Unrecorded, messages and questions come in real message boxes; the button pressed answers.
#include "platform/UiServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(QtUiServices, messagesAndQuestionsAreShownInMessageBoxes)
{
    QStringList shown;
    QMessageBox::StandardButton press = QMessageBox::Ok;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown
                << QStringLiteral("%1|%2|%3").arg(box->windowTitle(), box->text()).arg(box->icon());
            box->button(press)->click();
        }
    });
    user.start(5);
    QApplication::setApplicationDisplayName("ORBATerminal");
    uiServices().messageBox("Disk full", "Log", UiServices::Icon::Stop);
    uiServices().messageBox("Done", QString(), UiServices::Icon::Information);
    using Box = QMessageBox;
    for (const auto &[button, answer] : {std::pair{Box::Yes, UiServices::Answer::Yes},
                                         {Box::Cancel, UiServices::Answer::Cancel}}) {
        press = button;
        EXPECT_EQ(uiServices().question("Remove?", "Q", true), answer);
    }
    EXPECT_EQ(shown, QStringList(
                         {"Log|Disk full|3", "ORBATerminal|Done|1", "Q|Remove?|4", "Q|Remove?|4"}));
}

} // namespace
