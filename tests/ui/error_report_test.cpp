// Errors leaving any handler end up in one box and the program carries on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

#include "error_recorder.h"
#include "ui/ErrorReport.h"

namespace velmora::test {
namespace {

TEST(ErrorBox, AddsAFullStopOnlyAfterCharactersThatSortAfterIt) {
    struct Case {
        const char* message;
        const char* shown;
    };
    const Case cases[] = {
        {"'abc' is not a valid integer value", "'abc' is not a valid integer value."},
        {"JPEG error #53", "JPEG error #53."},
        {"Unable to write to /a/Config.ini", "Unable to write to /a/Config.ini."},
        {"Stream read error.", "Stream read error."},
        {"done!", "done!"},
        {"(x)", "(x)"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::ErrorBoxText(QString::fromUtf8(c.message)), QString::fromUtf8(c.shown));
    }
}

TEST(ErrorBox, AnErrorLeavingAnEventHandlerIsShownAndTheProgramGoesOn) {
    ErrorRecorder recorder;
    QPushButton button(QStringLiteral("go"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ++clicks;
        throw std::runtime_error("Cannot open file \"/x.jpg\". No such file or directory");
    });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(recorder.texts.size(), 2);
    EXPECT_EQ(recorder.texts[0],
              QStringLiteral("Cannot open file \"/x.jpg\". No such file or directory."));
}

TEST(ErrorBox, TheMouseCaptureIsCancelledFirst) {
    QWidget grabber;
    grabber.show();
    grabber.grabMouse();
    bool grabbedWhenShown = true;
    ui::SetErrorBoxHandler([&](const QString&) { grabbedWhenShown = QWidget::mouseGrabber(); });
    ui::ReportError(QStringLiteral("x"));
    ui::SetErrorBoxHandler({});
    EXPECT_FALSE(grabbedWhenShown);
}

}  // namespace
}  // namespace velmora::test
