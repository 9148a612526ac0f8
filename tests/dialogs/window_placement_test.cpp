// Where the windows open: the main window, each dialog and the error box centred on the
// desktop with their frames, each dialog kept with the main window it was opened over.
#include <gtest/gtest.h>

#include <QAction>
#include <QScreen>
#include <QWindow>

#include "main_window_fixture.h"
#include "ui/ErrorReport.h"

namespace velmora::test {
namespace {

using WindowPlacement = MainWindowFixture;

void ExpectCentredWithItsFrame(const QWidget& window) {
    const QRect area = window.screen()->availableGeometry();
    const QRect frame = window.frameGeometry();
    EXPECT_GT(frame.width(), window.width()) << "the platform reports a frame";
    EXPECT_EQ(frame.topLeft(), QPoint(area.x() + (area.width() - frame.width()) / 2,
                                      area.y() + (area.height() - frame.height()) / 2));
}

TEST_F(WindowPlacement, EveryWindowOpensCentredOnTheDesktopFrameIncluded) {
    AddPictures({"a.jpg"});
    StartWindow();
    ShowSources();
    SelectRows({0});
    {
        SCOPED_TRACE("main window");
        ExpectCentredWithItsFrame(*window);
    }
    for (QAction* command :
         {window->Btn_Compress, window->dxBarLargeButton2, window->dxBarLargeButton3}) {
        SCOPED_TRACE(command->text().toStdString());
        OnNextModal driver([](QWidget* dialog) {
            ExpectCentredWithItsFrame(*dialog);
            dialog->close();
        });
        command->trigger();
        EXPECT_TRUE(driver.Ran());
    }

    SCOPED_TRACE("error box");
    ui::SetErrorBoxHandler({});
    OnNextModal driver([](QWidget* box) {
        ExpectCentredWithItsFrame(*box);
        box->close();
    });
    ui::ReportError(
        QStringLiteral("Cannot open file \"/photos/a.jpg\". No such file or directory"));
    EXPECT_TRUE(driver.Ran());
}

TEST_F(WindowPlacement, EachDialogIsKeptWithTheMainWindowItWasOpenedOver) {
    AddPictures({"a.jpg"});
    StartWindow();
    ShowSources();
    SelectRows({0});
    for (QAction* command :
         {window->Btn_Compress, window->dxBarLargeButton2, window->dxBarLargeButton3}) {
        const QWindow* keptWith = nullptr;
        const QObject* owner = window.get();
        OnNextModal driver([&](QWidget* dialog) {
            keptWith = dialog->windowHandle()->transientParent();
            owner = dialog->parent();
            dialog->close();
        });
        command->trigger();
        ASSERT_TRUE(driver.Ran());
        EXPECT_EQ(keptWith, window->windowHandle()) << command->text().toStdString();
        EXPECT_EQ(owner, nullptr) << "the application's, freed when it closes";
    }
}

}  // namespace
}  // namespace velmora::test
