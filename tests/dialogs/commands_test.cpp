// The main window's commands open their dialogs modally through the globals; each closing
// frees the dialog and empties its global, so every command builds a fresh one.
#include <gtest/gtest.h>

#include <QAction>

#include "main_window_fixture.h"
#include "ui/U_About.h"
#include "ui/U_OutPath.h"

namespace velmora::test {
namespace {

using Commands = MainWindowFixture;

TEST_F(Commands, SettingsAndAboutOpenAFreshModalDialogEachTime) {
    StartWindow();
    struct Command {
        QAction* action;
        std::function<QWidget*()> global;
        const char* className;
    };
    const Command commands[] = {
        {window->dxBarLargeButton2, [] { return ui::F_OutPath.data(); }, "velmora::ui::TF_OutPath"},
        {window->dxBarLargeButton3, [] { return ui::F_About.data(); }, "velmora::ui::TF_About"},
    };
    for (const Command& command : commands) {
        QPointer<QWidget> previous;
        for (int opening = 0; opening < 2; ++opening) {
            QPointer<QWidget> shown;
            bool wasGlobal = false;
            bool mainWindowBlocked = false;
            OnNextModal driver([&](QWidget* modal) {
                shown = modal;
                wasGlobal = command.global() == modal;
                mainWindowBlocked = modal->isModal() && !window->isActiveWindow();
                modal->close();
            });
            command.action->trigger();
            ASSERT_TRUE(driver.Ran()) << command.className;
            EXPECT_TRUE(wasGlobal) << command.className;
            EXPECT_TRUE(mainWindowBlocked) << command.className;
            EXPECT_EQ(command.global(), nullptr) << command.className;
            EXPECT_TRUE(WaitUntil([&] { return shown.isNull(); })) << command.className;
            EXPECT_TRUE(previous.isNull());
            previous = shown;
        }
    }
}

}  // namespace
}  // namespace velmora::test
