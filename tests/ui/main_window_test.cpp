// The main window: its frame, its commands and the settings put on the sliders at start.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include <QAction>
#include <QDialog>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTest>
#include <QToolBar>

#include "core/settings.h"
#include "error_recorder.h"
#include "support/geometry_print.h"
#include "support/scoped_env.h"
#include "support/settings_directory.h"
#include "support/temp_dir.h"
#include "ui/U_ScrollBoxFrame.h"
#include "ui/U_Velmora.h"
#include "ui/browser/ShellListView.h"
#include "ui/browser/ShellTreeView.h"
#include "widgets/picture_view.h"
#include "widgets/track_bar.h"

namespace velmora::test {
namespace {

class MainWindowStart : public ::testing::Test {
  protected:
    void WriteSettings(const std::string& text) { WriteText(dir.File(kSettingsFileName), text); }

    // Builds the window the way the program entry does.
    ui::TF_Velmora& Start() {
        window = std::make_unique<ui::TF_Velmora>();
        ui::RunHandler([&] { window->FormCreate(); });
        return *window;
    }

    int Compression() const { return ui::ScrollBoxFrame->TrkAngle->Position(); }
    int Resize() const { return ui::ScrollBoxFrame->RzTrackBar1->Position(); }
    QString PercentLabel() const { return ui::ScrollBoxFrame->Lab_Percent->text(); }

    TempDir dir;
    ScopedSettingsDirectory settingsOverride_{dir.Path()};
    ErrorRecorder errors;
    std::unique_ptr<ui::TF_Velmora> window;
};

TEST_F(MainWindowStart, FirstStartWritesTheDefaultsAndSetsTheSliders) {
    Start();
    const std::string expected =
        "[Velmora]\r\nOutPath=" + dir.Path() + "/\r\nCompressPre=75\r\nResizePre=100\r\n";
    EXPECT_EQ(ReadText(dir.File(kSettingsFileName)), expected);
    EXPECT_EQ(Compression(), 75);
    EXPECT_EQ(Resize(), 100);
    EXPECT_EQ(PercentLabel(), QStringLiteral("75% "));
    EXPECT_TRUE(errors.texts.isEmpty());
}

TEST_F(MainWindowStart, StoredPercentsAreConvertedClampedOrRefused) {
    struct Case {
        const char* compress;
        int compression;
        const char* label;
        const char* error;
    };
    const Case cases[] = {
        {"0", 0, "", nullptr},  // no change from the start position: the label stays empty
        {"150", 100, "100% ", nullptr},
        {"-5", 0, "0% ", nullptr},
        {"$32", 50, "50% ", nullptr},
        {"abc", 0, "", "'abc' is not a valid integer value."},
        {"", 0, "", "'' is not a valid integer value."},
    };
    for (const Case& c : cases) {
        WriteSettings(std::string("[Velmora]\r\nCompressPre=") + c.compress +
                      "\r\nResizePre=40\r\n");
        errors.texts.clear();
        Start();
        EXPECT_EQ(Compression(), c.compression) << c.compress;
        EXPECT_EQ(PercentLabel(), QString::fromUtf8(c.label)) << c.compress;
        if (c.error) {
            EXPECT_EQ(errors.texts, QStringList{QString::fromUtf8(c.error)});
            EXPECT_EQ(Resize(), 0) << "the rest of the start-up is skipped";
        } else {
            EXPECT_TRUE(errors.texts.isEmpty()) << c.compress;
            EXPECT_EQ(Resize(), 40);
        }
    }
}

TEST_F(MainWindowStart, MissingKeysTakeTheirDefaultsAndNothingIsWritten) {
    WriteSettings("[Other]\r\nx=1\r\n");
    Start();
    EXPECT_EQ(Compression(), 75);
    EXPECT_EQ(Resize(), 100);
    EXPECT_EQ(ReadText(dir.File(kSettingsFileName)), "[Other]\r\nx=1\r\n");
}

TEST_F(MainWindowStart, ARefusedResizePercentLeavesOnlyThatSliderAtZero) {
    WriteSettings("[Velmora]\r\nCompressPre=30\r\nResizePre=1.5\r\n");
    Start();
    EXPECT_EQ(Compression(), 30);
    EXPECT_EQ(Resize(), 0);
    EXPECT_EQ(errors.texts, QStringList{QStringLiteral("'1.5' is not a valid integer value.")});
}

TEST_F(MainWindowStart, AReadOnlySettingsDirectoryIsReportedAndTheWindowStillOpens) {
    ::chmod(dir.Path().c_str(), 0555);
    Start();
    EXPECT_EQ(errors.texts, QStringList{QString::fromStdString("Unable to write to " +
                                                               dir.File(kSettingsFileName) + ".")});
    EXPECT_EQ(Compression(), 0);
    EXPECT_EQ(Resize(), 0);
    window->show();
    EXPECT_TRUE(window->isVisible());
}

// The program installed in a folder its user cannot write, as in /usr/bin.
class InstalledProgramStart : public MainWindowStart {
  protected:
    void SetUp() override {
        // The settings go where they would go for the program, not to the test's directory.
        OverrideSettingsDirectory("");
        std::filesystem::create_directories(home);
        std::filesystem::create_directory(program);
        ASSERT_EQ(::chmod(program.c_str(), 0555), 0);
    }
    void WriteUserDirs(const std::string& line) {
        std::filesystem::create_directories(config);
        WriteText(config + "/user-dirs.dirs", line + "\n");
    }
    std::string Written(const std::string& outPath) const {
        return "[Velmora]\r\nOutPath=" + outPath + "\r\nCompressPre=75\r\nResizePre=100\r\n";
    }

    TempDir root;
    std::string home = root.File("home");
    std::string config = root.File("config");
    std::string program = root.File("bin");
    ScopedEnv homeEnv{"HOME", home.c_str()};
    ScopedEnv configEnv{"XDG_CONFIG_HOME", config.c_str()};
    ScopedProgramDirectory programOverride{program};
};

TEST_F(InstalledProgramStart, FirstStartWritesToTheConfigFolderWithThePicturesFolderAsOutput) {
    struct Case {
        const char* userDirs;  // the line of user-dirs.dirs, or nullptr for none
        const char* pictures;  // below home
    };
    const Case cases[] = {
        {nullptr, "/Pictures"},
        {"XDG_PICTURES_DIR=\"$HOME/Bilder\"", "/Bilder"},
        {"XDG_PICTURES_DIR=\"$HOME/\"", "/Pictures"},  // switched off: home itself
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.userDirs ? c.userDirs : "no user-dirs.dirs");
        std::filesystem::remove_all(config);
        std::filesystem::remove_all(home + c.pictures);
        if (c.userDirs) {
            WriteUserDirs(c.userDirs);
        }
        errors.texts.clear();
        Start();
        const std::string outPath = home + c.pictures + "/Velmora/";
        EXPECT_EQ(ReadText(config + "/velmora/Config.ini"), Written(outPath));
        EXPECT_TRUE(std::filesystem::is_directory(outPath));
        EXPECT_EQ(Compression(), 75);
        EXPECT_EQ(Resize(), 100);
        EXPECT_TRUE(errors.texts.isEmpty())
            << errors.texts.join(QStringLiteral("; ")).toStdString();
    }
    EXPECT_TRUE(std::filesystem::is_empty(program));
}

TEST_F(InstalledProgramStart, ALaterStartReadsTheConfigFolderAndWritesNothing) {
    std::filesystem::create_directories(config + "/velmora");
    WriteText(config + "/velmora/Config.ini", "[Velmora]\r\nCompressPre=20\r\nResizePre=60\r\n");
    Start();
    EXPECT_EQ(Compression(), 20);
    EXPECT_EQ(Resize(), 60);
    EXPECT_EQ(ReadText(config + "/velmora/Config.ini"),
              "[Velmora]\r\nCompressPre=20\r\nResizePre=60\r\n");
    EXPECT_FALSE(std::filesystem::exists(home + "/Pictures"));
}

TEST_F(InstalledProgramStart, AConfigFolderThatCannotBeCreatedIsReportedAtEveryStart) {
    std::filesystem::create_directory(config);
    ASSERT_EQ(::chmod(config.c_str(), 0555), 0);
    for (int start = 0; start < 2; ++start) {
        errors.texts.clear();
        Start();
        EXPECT_EQ(errors.texts, QStringList{QString::fromStdString("Unable to write to " + config +
                                                                   "/velmora/Config.ini.")});
        EXPECT_EQ(Compression(), 0);
        EXPECT_EQ(Resize(), 0);
    }
    EXPECT_FALSE(std::filesystem::exists(home + "/Pictures"));
}

TEST_F(MainWindowStart, WindowFrameAndCommands) {
    ui::TF_Velmora& w = Start();
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("CorvaneVelmora"));
    EXPECT_EQ(w.Splitter1->handleWidth(), 3);
    EXPECT_FALSE(w.Splitter1->childrenCollapsible());
    EXPECT_FALSE(w.dxBarManager1ToolBar->isMovable());
    EXPECT_FALSE(w.dxBarManager1ToolBar->isFloatable());

    const QStringList menus = {QStringLiteral("图片处理"), QStringLiteral("系统管理"),
                               QStringLiteral("帮助")};
    const QList<QAction*> menuActions = w.dxBarManager1MenuBar->actions();
    ASSERT_EQ(menuActions.size(), 3);
    const QList<QAction*> commands = {w.Btn_Compress, w.dxBarLargeButton2, w.dxBarLargeButton3};
    const QStringList captions = {QStringLiteral("开始压缩"), QStringLiteral("系统设置"),
                                  QStringLiteral("关于")};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(menuActions[i]->text(), menus[i]);
        EXPECT_EQ(menuActions[i]->menu()->actions(), QList<QAction*>{commands[i]});
        EXPECT_EQ(commands[i]->text(), captions[i]);
        EXPECT_EQ(commands[i]->toolTip(), captions[i]);
        EXPECT_TRUE(commands[i]->shortcut().isEmpty());
        EXPECT_FALSE(commands[i]->icon().isNull());
    }
    EXPECT_EQ(w.dxBarManager1ToolBar->actions(), commands);
}

TEST_F(MainWindowStart, EveryWindowShowsTheProgramsIconInEachSize) {
    const QIcon icon = QApplication::windowIcon();
    const QList<QSize> sizes = {{16, 16}, {32, 32}, {48, 48}, {128, 128}, {256, 256}};
    QList<QSize> available = icon.availableSizes();
    std::sort(available.begin(), available.end(),
              [](const QSize& a, const QSize& b) { return a.width() < b.width(); });
    EXPECT_EQ(available, sizes);
    for (const QSize& size : sizes) {
        const QImage image = icon.pixmap(size).toImage();
        EXPECT_EQ(image.size(), size);
        EXPECT_GT(qAlpha(image.pixel(size.width() / 2, size.height() / 2)), 0) << size.width();
    }
    EXPECT_EQ(Start().windowIcon().cacheKey(), icon.cacheKey());
    QDialog dialog;
    EXPECT_EQ(dialog.windowIcon().cacheKey(), icon.cacheKey());
    // The desktop finds the program's entry and icon under this name.
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("example.velmora.Velmora"));
}

// The client area of the 800 x 600 window, frame included, holds the layout's sizes exactly:
// 206 + 3 + 583 wide and 63 + 510 high.
TEST_F(MainWindowStart, TheLayoutAddsUpToTheClientAreaOfThe800By600Window) {
    ui::TF_Velmora& w = Start();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.size(), QSize(792, 573));
    EXPECT_EQ(w.minimumSize(), QSize(792, 573));
    auto inWindow = [&w](const QWidget* widget) {
        return QRect(widget->mapTo(&w, QPoint(0, 0)), widget->size());
    };
    const struct {
        const char* name;
        const QWidget* widget;
        QRect bounds;
    } areas[] = {
        {"bars", w.dxBarManager1ToolBar, {0, 20, 792, 43}},
        {"Panel1", w.Panel1, {0, 63, 206, 510}},
        {"ShellTreeView1", w.ShellTreeView1, {1, 64, 204, 295}},
        {"cxImage1", w.cxImage1, {1, 359, 204, 213}},
        {"Panel2", w.Panel2, {209, 63, 583, 510}},
        {"ShellListView1", w.ShellListView1, {210, 64, 581, 150}},
        {"ScrollBoxFrame", ui::ScrollBoxFrame, {210, 217, 581, 336}},
        {"RzStatusBar1", w.RzStatusBar1, {210, 553, 581, 19}},
    };
    EXPECT_EQ(inWindow(w.dxBarManager1MenuBar).top(), 0);
    for (const auto& area : areas) {
        EXPECT_EQ(inWindow(area.widget), area.bounds) << area.name;
    }
}

// The columns of a painted menu item that hold anything but the menu's background, in runs
// of adjacent columns; the first run is the item's image, the rest its caption.
std::vector<std::pair<int, int>> InkColumns(const QImage& item, QRgb background) {
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < item.width(); ++x) {
        bool ink = false;
        for (int y = 0; y < item.height(); ++y) {
            ink = ink || item.pixel(x, y) != background;
        }
        if (ink && !runs.empty() && runs.back().second == x - 1) {
            runs.back().second = x;
        } else if (ink) {
            runs.emplace_back(x, x);
        }
    }
    return runs;
}

TEST_F(MainWindowStart, DropDownItemsDrawInTheBarsCrispFontNextToTheirImage) {
    ui::TF_Velmora& w = Start();
    w.show();
    const QFontInfo barFont(w.dxBarManager1MenuBar->font());
    for (QMenu* menu : {w.dxBarSubItem1, w.dxBarSubItem2, w.dxBarSubItem3}) {
        SCOPED_TRACE(menu->title().toStdString());
        const QFontInfo itemFont(menu->font());
        EXPECT_EQ(itemFont.family(), barFont.family());
        EXPECT_EQ(itemFont.pixelSize(), barFont.pixelSize());

        menu->popup(w.mapToGlobal(QPoint(10, 20)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        const QRect itemArea = menu->actionGeometry(menu->actions().constFirst());
        const QImage item = menu->grab(itemArea).toImage();
        menu->hide();
        const QRgb background = item.pixel(itemArea.width() - 2, itemArea.height() / 2);
        const std::vector<std::pair<int, int>> runs = InkColumns(item, background);
        ASSERT_GE(runs.size(), 2u);
        EXPECT_LE(runs[1].first - runs[0].second, 12) << "caption close to the image";

        // Without smoothing every pixel of the caption is the text's colour or the background.
        const QRgb text = menu->palette().color(QPalette::Text).rgb();
        int otherPixels = 0;
        for (int x = runs[1].first; x < item.width(); ++x) {
            for (int y = 0; y < item.height(); ++y) {
                otherPixels += item.pixel(x, y) != text && item.pixel(x, y) != background;
            }
        }
        EXPECT_EQ(otherPixels, 0);
    }
}

TEST_F(MainWindowStart, TheWindowCannotBeMadeSmallerThanItsStartSize) {
    ui::TF_Velmora& w = Start();
    w.show();
    w.resize(500, 300);
    EXPECT_EQ(w.size(), QSize(792, 573));
}

TEST_F(MainWindowStart, SplitterKeepsBothPanelsAtLeast160Wide) {
    ui::TF_Velmora& w = Start();
    w.show();
    w.Splitter1->setSizes({20, 2000});
    EXPECT_GE(w.Panel1->width(), 160);
    w.Splitter1->setSizes({2000, 20});
    EXPECT_GE(w.Panel2->width(), 160);
}

TEST_F(MainWindowStart, SplitterDragShowsALineAppliesOnReleaseAndEscCancels) {
    ui::TF_Velmora& w = Start();
    w.show();
    QSplitterHandle* handle = w.Splitter1->handle(1);
    const QPoint grip = handle->rect().center();
    auto drag = [&](int dx, bool cancel) {
        QTest::mousePress(handle, Qt::LeftButton, {}, grip);
        QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(dx, 0)),
                         QPointF(handle->mapToGlobal(grip + QPoint(dx, 0))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &move);
        EXPECT_EQ(w.Panel1->width(), 206) << "nothing moves before the release";
        if (cancel) {
            QTest::keyClick(handle, Qt::Key_Escape);
        }
        QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(dx, 0));
    };
    drag(40, true);
    EXPECT_EQ(w.Panel1->width(), 206);
    drag(40, false);
    EXPECT_NEAR(w.Panel1->width(), 246, 2);
}

}  // namespace
}  // namespace velmora::test
