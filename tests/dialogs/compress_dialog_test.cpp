// The compression dialog's two steps: controls, places, keys and what can be reached before
// the batch starts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "compress_dialog_fixture.h"
#include "ui/GroupBox.h"
#include "ui/U_Compress.h"
#include "ui/U_CompressS1.h"
#include "ui/U_CompressS2.h"
#include "widgets/progress_bar.h"
#include "widgets/system_colors.h"

namespace velmora::test {
namespace {

using ui::F_Compress;
using ui::TF_Compress;

class CompressDialog : public CompressDialogFixture {
  protected:
    CompressDialog() {
        StartWindow();
        ShowSources();
    }

    // Starts a batch over the empty list, which finishes at once.
    void StartAndFinish(TF_Compress& dialog) {
        Start(dialog);
        EXPECT_TRUE(worker.WaitUntilEnded());
        RunEventLoopFor(10);
    }
};

TEST_F(CompressDialog, WindowAndControlsOfBothSteps) {
    TF_Compress& dialog = OpenDialog();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("压缩图片"));
    EXPECT_EQ(dialog.size(), QSize(473, 107));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    for (Qt::WindowType absent : {Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint,
                                  Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint}) {
        EXPECT_FALSE(flags.testFlag(absent)) << absent;
    }
    EXPECT_EQ(dialog.font().family(), QStringLiteral("宋体"));
    EXPECT_EQ(dialog.font().pixelSize(), 12);

    const ui::TFrm_CompressS1& s1 = *dialog.Frm_CompressS1;
    const ui::TFrm_CompressS2& s2 = *dialog.Frm_CompressS2;
    const std::vector<Control> controls{
        {s1.GroupBox1, {8, 8, 457, 57}, QStringLiteral("输出目录")},
        {s1.Edi_outpath, {16, 30, 345, 21}, QString::fromStdString(OutputDirectory())},
        {s1.Button3, {376, 29, 75, 22}, QStringLiteral("浏览(&B)...")},
        {s1.Chb_AutoClose, {8, 80, 137, 17}, QStringLiteral("压缩完成后自动关闭")},
        {s1.Button1, {296, 77, 75, 22}, QStringLiteral("确定")},
        {s1.Button2, {384, 77, 75, 21}, QStringLiteral("取消")},
        {s2.RzProgressBar1, {16, 40, 449, 17}, QString()},
        {s2.Btn_Opendir, {280, 72, 75, 22}, QStringLiteral("打开目录(&O)")},
        {s2.Btn_Cancel, {368, 72, 75, 22}, QStringLiteral("取消")},
    };
    ExpectControls(dialog, controls);
    EXPECT_EQ(s2.Label1->pos(), QPoint(16, 16));
    EXPECT_EQ(s2.Label1->text(), QStringLiteral("正在压缩图片..."));

    EXPECT_TRUE(s1.Edi_outpath->isReadOnly());
    EXPECT_FALSE(s1.Chb_AutoClose->isChecked());
    EXPECT_TRUE(s1.Button1->isDefault());
    EXPECT_EQ(s2.RzProgressBar1->Percent(), 0);
    EXPECT_EQ(s2.RzProgressBar1->BackColor(), SysColor(TSysColor::BtnFace));
    EXPECT_FALSE(s2.Btn_Opendir->isEnabled());
}

// Step 2 lies under step 1 until the batch starts: neither the mouse nor Tab reaches it.
TEST_F(CompressDialog, StepTwoIsOutOfReachUntilTheBatchStarts) {
    TF_Compress& dialog = OpenDialog();
    ui::TFrm_CompressS1& s1 = *dialog.Frm_CompressS1;
    ui::TFrm_CompressS2& s2 = *dialog.Frm_CompressS2;
    for (QPushButton* button : {s2.Btn_Cancel, s2.Btn_Opendir}) {
        const QPoint centre = button->geometry().center();
        EXPECT_FALSE(s2.isAncestorOf(dialog.childAt(centre)));
    }
    Activate(dialog);
    EXPECT_EQ(QApplication::focusWidget(), s1.Button1) << "first in the tab order";
    EXPECT_EQ(TabCycle(dialog), (std::vector<QWidget*>{s1.Button1, s1.Button2, s1.Edi_outpath,
                                                       s1.Button3, s1.Chb_AutoClose}));

    Start(dialog);
    EXPECT_EQ(QApplication::focusWidget(), s2.Btn_Cancel);
    EXPECT_FALSE(s1.isVisible());
    EXPECT_EQ(dialog.childAt(s2.Btn_Cancel->geometry().center()), s2.Btn_Cancel);
    EXPECT_TRUE(worker.WaitUntilEnded());
    RunEventLoopFor(10);
    EXPECT_EQ(TabCycle(dialog), (std::vector<QWidget*>{s2.Btn_Cancel, s2.Btn_Opendir}));
}

// Enter presses the default button "确定" unless another button has the focus; Esc does
// nothing in either step.
TEST_F(CompressDialog, EnterStartsTheBatchUnlessAnotherButtonHasTheFocusAndEscDoesNothing) {
    struct Case {
        QWidget* (*focus)(ui::TFrm_CompressS1&);
        bool starts;
    };
    const Case cases[] = {
        {[](ui::TFrm_CompressS1& s1) -> QWidget* { return s1.Edi_outpath; }, true},
        {[](ui::TFrm_CompressS1& s1) -> QWidget* { return s1.Chb_AutoClose; }, true},
        {[](ui::TFrm_CompressS1& s1) -> QWidget* { return s1.Button2; }, false},
    };
    for (const Case& c : cases) {
        TF_Compress& dialog = OpenDialog();
        QPointer<TF_Compress> alive = &dialog;
        Activate(dialog);
        QWidget* focus = c.focus(*dialog.Frm_CompressS1);
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible());
        worker.Before();
        QTest::keyClick(focus, Qt::Key_Return);
        worker.After();
        EXPECT_EQ(worker.Running(), c.starts);
        if (c.starts) {
            EXPECT_TRUE(dialog.Frm_CompressS2->isVisible());
            EXPECT_TRUE(worker.WaitUntilEnded());
            RunEventLoopFor(10);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            EXPECT_TRUE(dialog.isVisible());
            dialog.close();
        }
        EXPECT_TRUE(F_Compress.isNull());
        EXPECT_TRUE(WaitUntil([&] { return alive.isNull(); }));
    }
}

TEST_F(CompressDialog, FinishedBatchOffersTheDirectoryAndCloses) {
    TF_Compress& dialog = OpenDialog();
    StartAndFinish(dialog);
    ui::TFrm_CompressS2& s2 = *dialog.Frm_CompressS2;
    EXPECT_EQ(s2.Btn_Cancel->text(), QStringLiteral("关闭"));
    QTest::mouseClick(s2.Btn_Opendir, Qt::LeftButton);
    QTest::mouseClick(s2.Btn_Opendir, Qt::LeftButton);
    const QUrl directory = QUrl::fromLocalFile(QString::fromStdString(OutputDirectory()));
    EXPECT_EQ(desktop.urls, (std::vector<QUrl>{directory, directory}));
    EXPECT_TRUE(dialog.isVisible());
    QTest::mouseClick(s2.Btn_Cancel, Qt::LeftButton);
    EXPECT_TRUE(F_Compress.isNull());
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace velmora::test
