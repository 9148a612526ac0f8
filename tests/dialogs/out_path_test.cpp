// The output-directory dialog: its controls, and what "确定", "取消" and closing write.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/ini_file.h"
#include "core/settings.h"
#include "main_window_fixture.h"
#include "ui/U_OutPath.h"

namespace velmora::test {
namespace {

using ui::F_OutPath;
using ui::TF_OutPath;

class OutPathDialog : public MainWindowFixture {
  protected:
    TF_OutPath& Open() {
        F_OutPath = new TF_OutPath();
        F_OutPath->show();
        return *F_OutPath;
    }
};

TEST_F(OutPathDialog, WindowControlsTabOrderAndNoEsc) {
    TF_OutPath& dialog = Open();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("输出目录"));
    EXPECT_EQ(dialog.size(), QSize(447, 122));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(dialog.font().family(), QStringLiteral("宋体"));
    EXPECT_EQ(dialog.font().pixelSize(), 12);

    ExpectControls(
        dialog,
        {
            {dialog.Panel1, {0, 0, 447, 41}, QString()},
            {dialog.Label2, {16, 16, 0, 0}, QStringLiteral("选择图片压缩后的存储目录")},
            {dialog.Label1, {12, 54, 0, 0}, QStringLiteral("输出目录:")},
            {dialog.Edi_outpath, {70, 49, 281, 20}, QString::fromStdString(OutputDirectory())},
            {dialog.Button3, {368, 48, 75, 22}, QStringLiteral("浏览(&B)...")},
            {dialog.Bevel1, {-24, 80, 479, 2}, QString()},
            {dialog.Button1, {266, 93, 75, 22}, QStringLiteral("确定")},
            {dialog.Button2, {354, 93, 75, 22}, QStringLiteral("取消")},
        });
    EXPECT_TRUE(dialog.Edi_outpath->isReadOnly());
    EXPECT_TRUE(dialog.Button1->isDefault());
    EXPECT_EQ(dialog.Panel1->palette().color(dialog.Panel1->backgroundRole()), QColor(Qt::white));

    Activate(dialog);
    EXPECT_EQ(QApplication::focusWidget(), dialog.Edi_outpath) << "first in the tab order";
    EXPECT_EQ(TabCycle(dialog), (std::vector<QWidget*>{dialog.Edi_outpath, dialog.Button1,
                                                       dialog.Button2, dialog.Button3}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(F_OutPath.isNull());
}

// "确定" writes the text as it is, whatever it holds, and closes.
TEST_F(OutPathDialog, ConfirmWritesTheTextUnchangedAndCloses) {
    struct Case {
        std::string before;
        const char* opensWith;
        const char* browsed;  // nullptr: "确定" right away
        std::string after;
    };
    const Case cases[] = {
        {"[Velmora]\r\nOutPath=/a/\r\n", "/a/", nullptr, "[Velmora]\r\nOutPath=/a/\r\n"},
        {"[Velmora]\r\nCompressPre=10\r\n", "", nullptr,
         "[Velmora]\r\nCompressPre=10\r\nOutPath=\r\n"},
        {"[Velmora]\r\nOutPath=/a/\r\nCompressPre=10\r\n", "/a/", "/no such dir",
         "[Velmora]\r\nOutPath=/no such dir\r\nCompressPre=10\r\n"},
    };
    for (const Case& c : cases) {
        WriteSettings(c.before);
        TF_OutPath& dialog = Open();
        QPointer<TF_OutPath> alive = &dialog;
        EXPECT_EQ(dialog.Edi_outpath->text(), QString::fromUtf8(c.opensWith));
        if (c.browsed) {
            dialog.Edi_outpath->setText(QString::fromUtf8(c.browsed));
        }
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        EXPECT_EQ(SettingsText(), c.after);
        EXPECT_TRUE(F_OutPath.isNull());
        EXPECT_TRUE(WaitUntil([&] { return alive.isNull(); }));
    }
    // Text beyond ASCII goes through the settings file's own encoding both ways.
    Open().Edi_outpath->setText(QStringLiteral("/srv/照片/"));
    QTest::mouseClick(F_OutPath->Button1, Qt::LeftButton);
    EXPECT_EQ(Setting(kOutPathKey), "/srv/照片/");
    EXPECT_EQ(Open().Edi_outpath->text(), QStringLiteral("/srv/照片/"));
    EXPECT_TRUE(errors.texts.isEmpty());
}

// "确定" without browsing keeps the stored value byte for byte: a name that is no valid
// text (GBK bytes) is not replaced by the replacement characters it shows as, and a value
// too long to be read whole is not replaced by the part of it that was read.
TEST_F(OutPathDialog, ConfirmWithoutBrowsingKeepsTheStoredDirectory) {
    const std::string values[] = {
        "/srv/\xD5\xD5\xC6\xAC/",  // "照片" in GBK
        "/srv/" + std::string(3000, 'd') + "/",
    };
    for (const std::string& value : values) {
        SCOPED_TRACE(value.substr(0, 20));
        TIniFile(SettingsFilePath()).WriteSetting(kSettingsSection, kOutPathKey, value);
        const std::string before = SettingsText();
        TF_OutPath& dialog = Open();
        QPointer<TF_OutPath> alive = &dialog;
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        EXPECT_TRUE(WaitUntil([&] { return alive.isNull(); }));
        EXPECT_EQ(SettingsText(), before);
    }
    EXPECT_TRUE(errors.texts.isEmpty());
}

TEST_F(OutPathDialog, AFailedWriteIsReportedAndLeavesTheDialogOpen) {
    TF_OutPath& dialog = Open();
    dialog.Edi_outpath->setText(QStringLiteral("/elsewhere/"));
    // A settings file that may not be written, in a folder that may not be written either
    // (a writable file alone would be written in place).
    const std::string file = settingsDir.File(kSettingsFileName);
    ::chmod(file.c_str(), 0444);
    ::chmod(settingsDir.Path().c_str(), 0555);
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    EXPECT_EQ(errors.texts,
              QStringList{QString::fromStdString("Unable to write to " +
                                                 settingsDir.File(kSettingsFileName) + ".")});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(F_OutPath, &dialog);
    EXPECT_EQ(dialog.Edi_outpath->text(), QStringLiteral("/elsewhere/"));

    ::chmod(settingsDir.Path().c_str(), 0700);
    ::chmod(file.c_str(), 0644);
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    EXPECT_EQ(Setting(kOutPathKey), "/elsewhere/");
    EXPECT_TRUE(F_OutPath.isNull());
}

TEST_F(OutPathDialog, CancelAndTheCloseBoxWriteNothing) {
    const std::vector<std::pair<const char*, std::function<void(TF_OutPath&)>>> ways{
        {"取消", [](TF_OutPath& dialog) { QTest::mouseClick(dialog.Button2, Qt::LeftButton); }},
        {"close box", [](TF_OutPath& dialog) { dialog.close(); }},
    };
    const std::string before = SettingsText();
    for (const auto& [way, leave] : ways) {
        TF_OutPath& dialog = Open();
        QPointer<TF_OutPath> alive = &dialog;
        dialog.Edi_outpath->setText(QStringLiteral("/elsewhere/"));
        leave(dialog);
        EXPECT_TRUE(F_OutPath.isNull()) << way;
        EXPECT_TRUE(WaitUntil([&] { return alive.isNull(); })) << way;
        EXPECT_EQ(SettingsText(), before) << way;
    }
}

}  // namespace
}  // namespace velmora::test
