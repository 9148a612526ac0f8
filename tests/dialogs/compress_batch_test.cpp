// A batch run end to end: the main window's list and sliders, the compression dialog and its
// worker, the files on disk and the settings file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "compress_dialog_fixture.h"
#include "core/file_io.h"
#include "core/ini_file.h"
#include "core/settings.h"
#include "support/jpeg_fixture.h"
#include "ui/U_Compress.h"
#include "ui/U_CompressS1.h"
#include "ui/U_CompressS2.h"
#include "widgets/progress_bar.h"

namespace velmora::test {
namespace {

using ui::F_Compress;
using ui::TF_Compress;

// The percents the bar was painted with, in order, each once.
class PaintedPercents : public QObject {
  public:
    explicit PaintedPercents(TRzProgressBar* bar) : bar_(bar) { bar->installEventFilter(this); }

    // Without the 0 the bar starts with.
    std::vector<int> Shown() const {
        std::vector<int> shown = painted_;
        if (!shown.empty() && shown.front() == 0) {
            shown.erase(shown.begin());
        }
        return shown;
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint &&
            (painted_.empty() || painted_.back() != bar_->Percent())) {
            painted_.push_back(bar_->Percent());
        }
        return false;
    }

  private:
    TRzProgressBar* bar_;
    std::vector<int> painted_;
};

class CompressBatch : public CompressDialogFixture {
  protected:
    // What the command-line converter writes for these files at these percents.
    std::vector<std::vector<uint8_t>> Converted(const std::vector<std::string>& files,
                                                int compressPercent, int resizePercent) {
        QStringList arguments{QStringLiteral("-c"), QString::number(compressPercent),
                              QStringLiteral("-r"), QString::number(resizePercent),
                              QStringLiteral("-o"), QString::fromStdString(references.Path())};
        for (const std::string& file : files) {
            arguments.append(QString::fromStdString(file));
        }
        EXPECT_EQ(QProcess::execute(QStringLiteral(VELMORA_CONVERT_PATH), arguments), 0);
        std::vector<std::vector<uint8_t>> converted;
        converted.reserve(files.size());
        for (const std::string& file : files) {
            converted.push_back(ReadBytes(references.File(file.substr(file.rfind('/') + 1))));
        }
        return converted;
    }

    static bool Finished(TF_Compress& dialog) {
        return dialog.Frm_CompressS2->Btn_Cancel->text() == QStringLiteral("关闭");
    }

    TempDir references;
};

TEST_F(CompressBatch, CommandConvertsTheSelectedFilesAndFinishes) {
    StartWindow();
    const auto files = AddPictures({"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"});
    ShowSources();
    SelectRows({0, 2, 3});
    SetSliders(40, 60);

    QString outputShown;
    std::vector<int> shown;
    bool finished = false;
    QString label;
    bool opendirEnabled = false;
    bool openAfterOpendir = false;
    OnNextModal driver([&](QWidget* modal) {
        auto* dialog = qobject_cast<TF_Compress*>(modal);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog, F_Compress);
        outputShown = dialog->Frm_CompressS1->Edi_outpath->text();
        PaintedPercents percents(dialog->Frm_CompressS2->RzProgressBar1);
        Start(*dialog);
        finished = WaitUntil([&] { return Finished(*dialog); });
        shown = percents.Shown();
        label = dialog->Frm_CompressS2->Label1->text();
        opendirEnabled = dialog->Frm_CompressS2->Btn_Opendir->isEnabled();
        QTest::mouseClick(dialog->Frm_CompressS2->Btn_Opendir, Qt::LeftButton);
        openAfterOpendir = dialog->isVisible();
        QTest::mouseClick(dialog->Frm_CompressS2->Btn_Cancel, Qt::LeftButton);
        dialog->close();  // should a check above have failed
    });
    window->Btn_Compress->trigger();

    EXPECT_TRUE(driver.Ran());
    EXPECT_TRUE(WaitUntil([] { return F_Compress.isNull(); }));
    EXPECT_EQ(outputShown, QString::fromStdString(OutputDirectory()));
    ASSERT_TRUE(finished);
    EXPECT_EQ(shown, (std::vector<int>{33, 67, 100}));
    EXPECT_EQ(label, QStringLiteral("正在压缩图片..."));
    EXPECT_TRUE(opendirEnabled);
    EXPECT_EQ(desktop.urls,
              std::vector<QUrl>{QUrl::fromLocalFile(QString::fromStdString(OutputDirectory()))});
    EXPECT_TRUE(openAfterOpendir);

    EXPECT_EQ(outputs.Entries(), (std::vector<std::string>{"a.jpg", "c.jpg", "d.jpg"}));
    const auto expected = Converted({files[0], files[2], files[3]}, 40, 60);
    EXPECT_EQ(ReadBytes(outputs.File("a.jpg")), expected[0]);
    EXPECT_EQ(ReadBytes(outputs.File("c.jpg")), expected[1]);
    EXPECT_EQ(ReadBytes(outputs.File("d.jpg")), expected[2]);
    EXPECT_EQ(SettingsText(), "[Velmora]\r\nOutPath=" + OutputDirectory() +
                                  "\r\nCompressPre=40\r\nResizePre=60\r\n");
    EXPECT_TRUE(worker.WaitUntilEnded());
    EXPECT_TRUE(errors.texts.isEmpty());
}

TEST_F(CompressBatch, AutoCloseClosesTheDialogOnceTheBatchHasFinished) {
    StartWindow();
    AddPictures({"a.jpg", "b.jpg"});
    ShowSources();
    SelectRows({0, 1});
    TF_Compress& dialog = OpenDialog();
    QPointer<TF_Compress> alive = &dialog;
    QTest::mouseClick(dialog.Frm_CompressS1->Chb_AutoClose, Qt::LeftButton);
    ASSERT_TRUE(dialog.Frm_CompressS1->Chb_AutoClose->isChecked());
    Start(dialog);
    EXPECT_TRUE(WaitUntil([&] { return alive.isNull(); }));
    EXPECT_TRUE(F_Compress.isNull());
    EXPECT_EQ(outputs.Entries(), (std::vector<std::string>{"a.jpg", "b.jpg"}));
    EXPECT_EQ(Setting(kCompressPreKey), "75");
    EXPECT_TRUE(worker.WaitUntilEnded());
}

// The second file is large enough that the cancel comes while the worker converts it.
TEST_F(CompressBatch, CancelDuringASlowFileClosesAtOnceAndWritesNothingAfterIt) {
    StartWindow();
    const std::string big = Source("big.jpg");
    WriteBytes(big, EncodeJpeg(MakePattern(4000, 3000)));
    AddPictures({"a.jpg", "c.jpg"});
    ShowSources();
    SelectRows({0, 1, 2});
    SetSliders(30, 50);
    const std::string settingsBefore = SettingsText();

    TF_Compress& dialog = OpenDialog();
    QPointer<TF_Compress> alive = &dialog;
    Start(dialog);
    // Some processor time in the worker means it is past its last check before converting.
    ASSERT_TRUE(WaitUntil([&] { return worker.CpuTicks() >= 3 || !worker.Running(); }));
    QTest::mouseClick(dialog.Frm_CompressS2->Btn_Cancel, Qt::LeftButton);
    EXPECT_TRUE(F_Compress.isNull());
    EXPECT_FALSE(alive && alive->isVisible());
    EXPECT_TRUE(worker.Running()) << "the dialog waited for the worker";

    EXPECT_TRUE(worker.WaitUntilEnded());
    RunEventLoopFor(20);
    EXPECT_TRUE(alive.isNull());
    // The file in hand is completed; nothing after it is written or stored.
    EXPECT_EQ(outputs.Entries(), (std::vector<std::string>{"a.jpg", "big.jpg"}));
    EXPECT_EQ(ReadBytes(outputs.File("big.jpg")), Converted({big}, 30, 50)[0]);
    EXPECT_EQ(SettingsText(), settingsBefore);
    EXPECT_TRUE(errors.texts.isEmpty());
}

// Before the worker is served its first answer the dialog goes, whichever way.
TEST_F(CompressBatch, ClosingOrDestroyingTheDialogStopsTheBatchBeforeItsFirstFile) {
    StartWindow();
    AddPictures({"a.jpg"});
    ShowSources();
    SelectRows({0});
    const std::string settingsBefore = SettingsText();
    const std::vector<std::pair<const char*, std::function<void(TF_Compress&)>>> ways{
        {"window system close", [](TF_Compress& dialog) { dialog.close(); }},
        {"destroyed", [](TF_Compress& dialog) { delete &dialog; }},
    };
    for (const auto& [way, end] : ways) {
        TF_Compress& dialog = OpenDialog();
        Start(dialog);
        end(dialog);
        EXPECT_TRUE(F_Compress.isNull()) << way;
        EXPECT_TRUE(worker.WaitUntilEnded()) << way;
        RunEventLoopFor(20);
        EXPECT_TRUE(outputs.Entries().empty()) << way;
        EXPECT_EQ(SettingsText(), settingsBefore) << way;
    }
}

// Every kind of failure is shown once, naming the file in hand, and the dialog takes its
// finished look without closing itself, offering the directory only when a file went there.
// The settings are not written and nothing after the failing file is converted.
TEST_F(CompressBatch, AFailedBatchSaysSoAndEndsWithoutClosing) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::function<void()> restore;
        std::string messageStart;
        std::string messageEnd;
        std::vector<std::string> outputs;
        int percent;
    };
    StartWindow();
    auto files = AddPictures({"a.jpg", "b.jpg", "c.jpg"});
    ShowSources();
    const std::string settingsFile = settingsDir.File(kSettingsFileName);
    const std::string gone = outputs.File("gone");
    const auto convertingA = "Cannot convert \"" + files[0] + "\". Cannot create file \"";
    const Case cases[] = {
        {"missing output directory",
         [&] { WriteSettings("[Velmora]\r\nOutPath=" + gone + "/\r\n"); },
         [&] { WriteSettings("[Velmora]\r\nOutPath=" + OutputDirectory() + "\r\n"); },
         convertingA + gone + "/a.jpg\". ",
         "No such file or directory.",
         {},
         0},
        {"read-only output directory",
         [&] { ::chmod(outputs.Path().c_str(), 0555); },
         [&] { ::chmod(outputs.Path().c_str(), 0755); },
         convertingA + outputs.File("a.jpg"),
         "Permission denied.",
         {},
         0},
        {"damaged file",
         [&] { WriteText(files[1], "not a picture"); },
         [&] { WriteBytes(files[1], EncodeJpeg(MakePattern(48, 36))); },
         "Cannot convert \"" + files[1] + "\". JPEG error #53.",
         "",
         {"a.jpg"},
         33},
        {"read-only existing output",
         [&] {
             WriteText(outputs.File("b.jpg"), "kept");
             ::chmod(outputs.File("b.jpg").c_str(), 0444);
         },
         [&] { ::chmod(outputs.File("b.jpg").c_str(), 0644); },
         "Cannot convert \"" + files[1] + "\". Cannot create file \"" + outputs.File("b.jpg"),
         "Permission denied.",
         {"a.jpg", "b.jpg"},
         33},
        // A writable file alone would be written in place.
        {"settings file that cannot be written",
         [&] {
             ::chmod(settingsFile.c_str(), 0444);
             ::chmod(settingsDir.Path().c_str(), 0555);
         },
         [&] {
             ::chmod(settingsDir.Path().c_str(), 0755);
             ::chmod(settingsFile.c_str(), 0644);
         },
         "Unable to write to " + settingsFile + ".",
         "",
         {"a.jpg", "b.jpg", "c.jpg"},
         100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SelectRows({0, 1, 2});
        c.arrange();
        const std::string settingsBefore = SettingsText();
        TF_Compress& dialog = OpenDialog();
        QPointer<TF_Compress> alive = &dialog;
        QTest::mouseClick(dialog.Frm_CompressS1->Chb_AutoClose, Qt::LeftButton);
        Start(dialog);
        EXPECT_TRUE(worker.WaitUntilEnded());
        RunEventLoopFor(20);
        ASSERT_TRUE(alive && dialog.isVisible()) << "closed itself after a failure";
        const ui::TFrm_CompressS2& s2 = *dialog.Frm_CompressS2;
        ASSERT_EQ(errors.texts.size(), 1);
        const std::string text = errors.texts[0].toStdString();
        EXPECT_EQ(text.substr(0, c.messageStart.size()), c.messageStart) << text;
        EXPECT_TRUE(text.size() >= c.messageEnd.size() &&
                    text.substr(text.size() - c.messageEnd.size()) == c.messageEnd)
            << text;
        EXPECT_EQ(s2.Btn_Cancel->text(), QStringLiteral("关闭"));
        EXPECT_EQ(s2.Btn_Opendir->isEnabled(), c.percent > 0);
        EXPECT_EQ(s2.RzProgressBar1->Percent(), c.percent);
        EXPECT_EQ(s2.Label1->text(), QStringLiteral("正在压缩图片..."));
        EXPECT_EQ(SettingsText(), settingsBefore);
        EXPECT_EQ(outputs.Entries(), c.outputs);
        c.restore();

        Activate(dialog);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible()) << "Esc closed the dialog";
        QTest::mouseClick(dialog.Frm_CompressS2->Btn_Cancel, Qt::LeftButton);
        EXPECT_TRUE(WaitUntil([&] { return alive.isNull(); }));
        EXPECT_TRUE(F_Compress.isNull());
        for (const std::string& name : outputs.Entries()) {
            ::unlink(outputs.File(name).c_str());
        }
        errors.texts.clear();
    }
}

// A directory that would send the files elsewhere than chosen keeps the dialog on step 1
// with one message, and no worker starts; a directory without its trailing "/" is fine.
TEST_F(CompressBatch, OutPathThatWouldWriteElsewhereIsRefusedBeforeTheBatch) {
    struct Case {
        const char* name;
        std::string outPath;
        bool starts;
    };
    const Case cases[] = {
        {"empty", "", false},
        {"relative", "out/", false},
        {"cut at 2047 bytes", OutputDirectory() + std::string(3000, 'd') + "/", false},
        {"no trailing slash", outputs.Path(), true},
        {"fine", OutputDirectory(), true},
    };
    StartWindow();
    const auto files = AddPictures({"a.jpg"});
    const std::vector<uint8_t> original = ReadBytes(files[0]);
    ShowSources();
    SelectRows({0});
    // Started from the photo folder, an empty directory would replace the photo.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(photos);
    std::filesystem::create_directories(photos + "/out");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSettings("[Velmora]\r\nOutPath=" + c.outPath + "\r\nCompressPre=75\r\n");
        TF_Compress& dialog = OpenDialog();
        Start(dialog);
        EXPECT_EQ(worker.Running() || Finished(dialog), c.starts);
        if (c.starts) {
            EXPECT_TRUE(WaitUntil([&] { return Finished(dialog); }));
            EXPECT_TRUE(errors.texts.isEmpty());
            EXPECT_EQ(outputs.Entries(), std::vector<std::string>{"a.jpg"});
            ::unlink(outputs.File("a.jpg").c_str());
        } else {
            EXPECT_EQ(errors.texts.size(), 1);
            EXPECT_TRUE(dialog.Frm_CompressS1->isVisible());
            EXPECT_FALSE(dialog.Frm_CompressS2->isVisible());
            EXPECT_TRUE(outputs.Entries().empty());
        }
        EXPECT_TRUE(worker.WaitUntilEnded());
        dialog.close();
        EXPECT_TRUE(WaitUntil([] { return F_Compress.isNull(); }));
        errors.texts.clear();
    }
    std::filesystem::current_path(previous);
    EXPECT_EQ(ReadBytes(files[0]), original);
    EXPECT_TRUE(EntriesOf(photos + "/out").empty());
}

// The settings may name a directory whose name is no valid text (here GBK bytes): the batch
// writes into exactly that directory, not into one named by the text it shows as.
TEST_F(CompressBatch, AnOutputDirectoryNamedInGbkIsWrittenIntoAsStored) {
    const std::string gbk = outputs.File("\xD5\xD5\xC6\xAC") + "/";  // "照片" in GBK
    std::filesystem::create_directories(gbk);
    TIniFile(SettingsFilePath()).WriteSetting(kSettingsSection, kOutPathKey, gbk);
    StartWindow();
    AddPictures({"a.jpg"});
    ShowSources();
    SelectRows({0});
    TF_Compress& dialog = OpenDialog();
    Start(dialog);
    ASSERT_TRUE(WaitUntil([&] { return Finished(dialog); }));
    EXPECT_EQ(EntriesOf(gbk), std::vector<std::string>{"a.jpg"});
    EXPECT_EQ(outputs.Entries(), std::vector<std::string>{"\xD5\xD5\xC6\xAC"});
    EXPECT_TRUE(errors.texts.isEmpty());
    EXPECT_TRUE(worker.WaitUntilEnded());
}

TEST_F(CompressBatch, ABrowsedDirectoryServesThisBatchOnlyAndReopeningShowsTheSavedOne) {
    StartWindow();
    AddPictures({"a.jpg"});
    ShowSources();
    SelectRows({0});
    TempDir elsewhere;
    TF_Compress& dialog = OpenDialog();
    OnNextModal picker([&](QWidget* modal) {
        auto* files = qobject_cast<QFileDialog*>(modal);
        ASSERT_TRUE(files);
        files->setDirectory(QString::fromStdString(elsewhere.Path()));
        Confirm(*files);
    });
    QTest::mouseClick(dialog.Frm_CompressS1->Button3, Qt::LeftButton);
    EXPECT_EQ(dialog.Frm_CompressS1->Edi_outpath->text(),
              QString::fromStdString(elsewhere.Path() + "/"));
    Start(dialog);
    EXPECT_TRUE(WaitUntil([&] { return Finished(dialog); }));
    EXPECT_EQ(elsewhere.Entries(), std::vector<std::string>{"a.jpg"});
    EXPECT_TRUE(outputs.Entries().empty());
    QTest::mouseClick(dialog.Frm_CompressS2->Btn_Cancel, Qt::LeftButton);
    EXPECT_TRUE(WaitUntil([] { return F_Compress.isNull(); }));
    EXPECT_TRUE(worker.WaitUntilEnded());

    EXPECT_EQ(OpenDialog().Frm_CompressS1->Edi_outpath->text(),
              QString::fromStdString(OutputDirectory()));
}

TEST_F(CompressBatch, CompressCommandWithNothingSelectedOpensNothing) {
    StartWindow();
    AddPictures({"a.jpg", "b.jpg"});
    ShowSources();
    SelectRows({});
    bool opened = false;
    QTimer::singleShot(0, window.get(), [&] {
        if (QWidget* modal = CurrentModal()) {
            opened = true;
            modal->close();
        }
    });
    window->Btn_Compress->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(opened);
    EXPECT_TRUE(F_Compress.isNull());
}

}  // namespace
}  // namespace velmora::test
