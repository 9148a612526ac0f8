// Every picture the fuzzers start from, the kept regression inputs and the hostile fixtures go
// through the real windows the way a user takes them: the thumbnail (a click on the row), the
// double-click preview in both view modes and on the resize tab, and a batch of the file alone.
// None may end the program (under the sanitizer build: nor touch memory it should not), and
// what fails reaches the user as one of the system's errors.
#define QTEST_QPA_MOUSE_HANDLING
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPointer>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "compress_dialog_fixture.h"
#include "core/jpeg_reader.h"
#include "support/jpeg_fixture.h"
#include "support/picture_corpus.h"
#include "ui/U_ScrollBoxFrame.h"
#include "ui/browser/ShellListModel.h"
#include "ui/browser/ShellListView.h"
#include "widgets/U_PicScrollBox.h"
#include "widgets/picture_view.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

// The fuzzers' pictures, the pictures damaged before their first row and other hostile ones,
// and the kept regression inputs.
std::vector<NamedJpeg> SweptFiles() {
    std::vector<NamedJpeg> files = CorpusPictures();
    for (NamedJpeg& file : FailingBeforeTheFirstRow()) {
        files.push_back(std::move(file));
    }
    const std::vector<uint8_t> progressive = EncodeJpeg(MakePattern(40, 30), {.progressive = true});
    files.push_back({"claiming-65535x65535", ClaimingFrameSize(progressive, 65535, 65535)});
    files.push_back({"bad-table-after-scan", WithBadTableAfterScan(EncodeJpeg(MakePattern(9, 9)))});
    files.push_back({"too-many-scans", WithScans(progressive, jpeg::kMaxScans + 1)});
    files.push_back({"not-a-jpeg", std::vector<uint8_t>(300, 0x5A)});
    files.push_back({"empty", {}});
    for (const auto& entry : fs::directory_iterator(VELMORA_FUZZ_REGRESSIONS_DIR)) {
        if (entry.path().extension() == ".jpg") {
            files.push_back(
                {"regression-" + entry.path().stem().string(), ReadBytes(entry.path().string())});
        }
    }
    return files;
}

class DamagedFiles : public CompressDialogFixture {
  protected:
    ui::TShellListView& List() const { return *window->ShellListView1; }
    void Show(int row) const { List().scrollTo(List().Model()->index(row, 0)); }
    QPoint RowCentre(int row) const {
        return List().visualRect(List().Model()->index(row, 0)).center();
    }
    // Paints the views as the event loop would, then delivers what the paints reported.
    static void Paint(const std::vector<QWidget*>& views) {
        for (QWidget* view : views) {
            view->repaint();
        }
        QCoreApplication::processEvents();
    }
    // Each error text is one of the system's own messages; the batch's names the file first.
    void ExpectSystemErrors(const char* where) {
        static const QRegularExpression systemError(
            QStringLiteral(R"(^(Cannot convert ".*"\. )?(JPEG error #\d+|Out of memory))"));
        for (const QString& text : errors.texts) {
            EXPECT_TRUE(systemError.match(text).hasMatch()) << where << ": " << text.toStdString();
        }
        errors.texts.clear();
    }
};

TEST_F(DamagedFiles, EveryFileGoesThroughThumbnailPreviewsAndBatchWithoutEndingTheProgram) {
    const std::vector<NamedJpeg> files = SweptFiles();
    for (const NamedJpeg& file : files) {
        WriteBytes(Source(file.name + ".jpg"), file.bytes);
    }
    StartWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ShowSources();
    const int rows = window->EntryCount();
    ASSERT_EQ(rows, static_cast<int>(files.size()));
    ui::TScrollBoxFrame& frame = *ui::ScrollBoxFrame;

    for (int row = 0; row < rows; ++row) {
        SCOPED_TRACE(window->EntryPath(row));
        Show(row);
        QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, RowCentre(row));
        Paint({window->cxImage1});
        ExpectSystemErrors("thumbnail");
    }

    struct Pass {
        const char* what;
        QRadioButton* mode;
        QWidget* page;
        int resizePercent;
        std::vector<QWidget*> views;
    };
    const std::vector<Pass> passes = {
        {"actual size",
         frame.RadioButton1,
         frame.TabSheet_Compress,
         100,
         {frame.SourceBox->cxImage, frame.DestBox->cxImage}},
        {"fitted",
         frame.RadioButton2,
         frame.TabSheet_Compress,
         50,
         {frame.SourceBox->cxImage, frame.DestBox->cxImage}},
        {"resize tab", frame.RadioButton1, frame.TabSheet_Resize, 50, {frame.ResizeBox->cxImage}},
    };
    for (const Pass& pass : passes) {
        QTest::mouseClick(pass.mode, Qt::LeftButton);
        frame.PageControl1->setCurrentWidget(pass.page);
        SetSliders(40, pass.resizePercent);
        for (int row = 0; row < rows; ++row) {
            SCOPED_TRACE(std::string(pass.what) + ", " + window->EntryPath(row));
            Show(row);
            QTest::mouseDClick(List().viewport(), Qt::LeftButton, {}, RowCentre(row));
            Paint(pass.views);
            ExpectSystemErrors(pass.what);
        }
    }

    SetSliders(25, 50);
    for (int row = 0; row < rows; ++row) {
        SCOPED_TRACE("batch, " + window->EntryPath(row));
        SelectRows({row});
        ui::TF_Compress& dialog = OpenDialog();
        QPointer<ui::TF_Compress> alive = &dialog;
        Start(dialog);
        ASSERT_TRUE(worker.WaitUntilEnded());
        dialog.close();
        ASSERT_TRUE(WaitUntil([&] { return alive.isNull(); }));
        ExpectSystemErrors("batch");
    }

    // The program carries on: a valid file still shows.
    Show(0);
    QTest::mouseDClick(List().viewport(), Qt::LeftButton, {}, RowCentre(0));
    EXPECT_EQ(window->EntryPath(0), Source("422.jpg"));
    EXPECT_EQ(frame.SourceBox->cxImage->Picture().Width(), 19);
    EXPECT_TRUE(errors.texts.isEmpty());
}

}  // namespace
}  // namespace velmora::test
