// The picture browser inside the real main window, driven with the mouse and keyboard over a
// temporary desktop: what the list shows, the thumbnail and the count on every selection
// change, the double click into the preview, renaming and listing a folder again.
#define QTEST_QPA_MOUSE_HANDLING
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "core/jpeg_image.h"
#include "core/settings.h"
#include "error_recorder.h"
#include "support/jpeg_fixture.h"
#include "support/scoped_env.h"
#include "support/settings_directory.h"
#include "support/temp_dir.h"
#include "ui/StatusPane.h"
#include "ui/U_ScrollBoxFrame.h"
#include "ui/U_Velmora.h"
#include "ui/browser/ShellListModel.h"
#include "ui/browser/ShellListView.h"
#include "ui/browser/ShellTreeModel.h"
#include "ui/browser/ShellTreeView.h"
#include "widgets/U_PicScrollBox.h"
#include "widgets/picture_view.h"

namespace velmora::test {
namespace {

void MakeFolder(const std::string& path) {
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0) << path;
}

// A JPEG of the given width (8 high), optionally padded after its end to an exact size.
void WriteJpeg(const std::string& path, int width, size_t size = 0) {
    std::vector<uint8_t> bytes = EncodeJpeg(MakePattern(width, 8));
    if (size > 0) {
        ASSERT_LE(bytes.size(), size);
        bytes.resize(size, 0);
    }
    WriteBytes(path, bytes);
}

// The desktop lists (folders first, name order):
//   row 0 g.jpg (a folder), 1 a.jpg, 2 b.JPG (1536 bytes), 3 c.Jpg, 4..7 p1.jpg..p4.jpg.
// Each file is 10 + its row pixels wide, so a picture tells which entry it came from.
const QStringList kListed = {"g.jpg",  "a.jpg",  "b.JPG",  "c.Jpg",
                             "p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg"};

class PictureBrowser : public ::testing::Test {
  protected:
    PictureBrowser()
        : home_("HOME", home.Path().c_str()),
          config_("XDG_CONFIG_HOME", nullptr),
          desktop(home.File("Desktop")) {
        MakeFolder(desktop);
        for (int row = 1; row < kListed.size(); ++row) {
            WriteJpeg(File(kListed[row]), 10 + row, kListed[row] == "b.JPG" ? 1536 : 0);
        }
        WriteJpeg(File("d.jpeg"), 50);
        WriteJpeg(File("e.png"), 50);
        WriteJpeg(File(".h.jpg"), 50);
        MakeFolder(File("f"));
        MakeFolder(File("g.jpg"));
    }
    std::string File(const QString& name) const { return desktop + "/" + name.toStdString(); }

    ui::TF_Velmora& Start() {
        window = std::make_unique<ui::TF_Velmora>();
        ui::RunHandler([&] { window->FormCreate(); });
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }

    ui::TShellListView& List() const { return *window->ShellListView1; }
    QStringList Names() const {
        QStringList names;
        for (int row = 0; row < List().EntryCount(); ++row) {
            names << List().Entry(row).displayName;
        }
        return names;
    }
    void ClickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
        const QModelIndex index = List().Model()->index(row, 0);
        List().scrollTo(index);
        QTest::mouseClick(List().viewport(), Qt::LeftButton, modifiers,
                          List().visualRect(index).center());
    }
    void DoubleClickRow(int row) {
        const QModelIndex index = List().Model()->index(row, 0);
        List().scrollTo(index);
        QTest::mouseDClick(List().viewport(), Qt::LeftButton, {},
                           List().visualRect(index).center());
    }
    void ClickTreeNode(const QModelIndex& node) {
        ui::TShellTreeView& tree = *window->ShellTreeView1;
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(node).center());
    }
    QModelIndex TreeChild(const QString& caption) const {
        ui::TShellTreeModel& model = *window->ShellTreeView1->Model();
        const QModelIndex root = model.RootIndex();
        for (int row = 0; row < model.rowCount(root); ++row) {
            if (model.index(row, 0, root).data().toString() == caption) {
                return model.index(row, 0, root);
            }
        }
        return {};
    }

    // The thumbnail's picture as a JPEG picture (nullptr for none or another kind).
    TJPEGImage* Thumbnail() const {
        return dynamic_cast<TJPEGImage*>(window->cxImage1->Picture().Graphic());
    }
    QString Status() const { return window->RzStatusPane1->Caption(); }
    int PaneWidth(TPicScrollBox* box) const { return box->cxImage->Picture().Width(); }

    TempDir home;
    ScopedEnv home_;
    ScopedEnv config_;
    ScopedSettingsDirectory settingsOverride_{home.Path()};
    std::string desktop;
    ErrorRecorder errors;
    std::unique_ptr<ui::TF_Velmora> window;
};

TEST_F(PictureBrowser, StartsWithTheDesktopsJpgEntriesFoldersFirst) {
    ui::TF_Velmora& w = Start();
    EXPECT_EQ(Names(), kListed);
    EXPECT_EQ(w.ShellTreeView1->SelectedFolder(), desktop);
    EXPECT_EQ(w.ShellTreeView1->currentIndex().data().toString(), QStringLiteral("桌面"));
    EXPECT_TRUE(w.ShellTreeView1->isExpanded(w.ShellTreeView1->currentIndex()));

    // The queries the batch uses read the list.
    EXPECT_EQ(w.EntryCount(), 8);
    EXPECT_EQ(w.EntryPath(0), File("g.jpg"));
    EXPECT_EQ(w.EntryPath(2), File("b.JPG"));
    EXPECT_EQ(w.SelectedCount(), 0);
    EXPECT_TRUE(Status().isEmpty());
    EXPECT_EQ(w.cxImage1->Picture().Graphic(), nullptr);
    EXPECT_TRUE(errors.texts.isEmpty());
}

TEST_F(PictureBrowser, EverySelectionChangeShowsTheFirstSelectedEntryAndTheCount) {
    ui::TF_Velmora& w = Start();
    ClickRow(5);
    ASSERT_NE(Thumbnail(), nullptr);
    EXPECT_EQ(Thumbnail()->Width(), 15);
    EXPECT_EQ(Status(), QStringLiteral("选定 1 个图片"));

    ClickRow(2, Qt::ControlModifier);
    ASSERT_NE(Thumbnail(), nullptr);
    EXPECT_EQ(Thumbnail()->Width(), 12);
    EXPECT_EQ(Status(), QStringLiteral("选定 2 个图片"));
    EXPECT_TRUE(w.EntrySelected(2));
    EXPECT_TRUE(w.EntrySelected(5));
    EXPECT_FALSE(w.EntrySelected(3));
    EXPECT_EQ(w.SelectedCount(), 2);

    // The lowest selected row counts, not the one clicked last.
    ClickRow(7, Qt::ControlModifier);
    EXPECT_EQ(Thumbnail()->Width(), 12);
    EXPECT_EQ(Status(), QStringLiteral("选定 3 个图片"));
    ClickRow(7, Qt::ControlModifier);

    // Nothing selected: the count says so and the thumbnail keeps the last picture.
    ClickRow(2, Qt::ControlModifier);
    ClickRow(5, Qt::ControlModifier);
    EXPECT_EQ(Status(), QStringLiteral("选定 0 个图片"));
    ASSERT_NE(Thumbnail(), nullptr);
    EXPECT_EQ(Thumbnail()->Width(), 15);
    EXPECT_TRUE(errors.texts.isEmpty());
}

TEST_F(PictureBrowser, AFolderNamedLikeAJpegCannotBeOpenedAndChangesNothing) {
    Start();
    ClickRow(3);
    ClickRow(4, Qt::ControlModifier);
    ASSERT_EQ(Status(), QStringLiteral("选定 2 个图片"));

    // The click first moves the focus (a report that still finds rows 3 and 4 selected),
    // then selects row 0 alone: that report fails before it writes the count.
    ClickRow(0);
    ASSERT_FALSE(errors.texts.isEmpty());
    for (const QString& text : errors.texts) {
        EXPECT_EQ(text.toStdString(),
                  "Cannot open file \"" + File("g.jpg") + "\". Is a directory.");
    }
    ASSERT_NE(Thumbnail(), nullptr);
    EXPECT_EQ(Thumbnail()->Width(), 13);
    EXPECT_EQ(Status(), QStringLiteral("选定 2 个图片"));
    EXPECT_EQ(window->SelectedCount(), 1);
}

TEST_F(PictureBrowser, DoubleClickPreviewsTheFirstSelectedEntryWithItsSize) {
    Start();
    ClickRow(2);
    ClickRow(7, Qt::ControlModifier);
    DoubleClickRow(7);

    EXPECT_TRUE(errors.texts.isEmpty());
    EXPECT_EQ(PaneWidth(ui::ScrollBoxFrame->SourceBox), 12);
    EXPECT_EQ(PaneWidth(ui::ScrollBoxFrame->DestBox), 12);
    EXPECT_EQ(ui::ScrollBoxFrame->Lab_source->text(), QStringLiteral("原图效果  2 KB"));
    EXPECT_FALSE(ui::ScrollBoxFrame->Lab_destination->text().isEmpty());
    EXPECT_FALSE(ui::ScrollBoxFrame->ResizeBox->cxImage->Picture().Empty());
    // The double click keeps the selection it was made in.
    EXPECT_EQ(window->SelectedCount(), 2);
}

TEST_F(PictureBrowser, AFileThatIsNoJpegLeavesThePreviewAsItWas) {
    WriteBytes(File("p3.jpg"), std::vector<uint8_t>(300, 0x5A));
    Start();
    DoubleClickRow(1);
    ASSERT_EQ(PaneWidth(ui::ScrollBoxFrame->SourceBox), 11);
    const QString caption = ui::ScrollBoxFrame->Lab_source->text();
    errors.texts.clear();

    DoubleClickRow(6);
    EXPECT_FALSE(errors.texts.isEmpty());
    for (const QString& text : errors.texts) {
        EXPECT_TRUE(text.startsWith(QStringLiteral("JPEG error #"))) << text.toStdString();
    }
    EXPECT_EQ(PaneWidth(ui::ScrollBoxFrame->SourceBox), 11);
    EXPECT_EQ(PaneWidth(ui::ScrollBoxFrame->DestBox), 11);
    EXPECT_EQ(ui::ScrollBoxFrame->Lab_source->text(), caption);
}

// A file whose header reads but whose decoding fails before its first row fails like any
// damaged file when the thumbnail first draws it: its error once, and the program goes on.
TEST_F(PictureBrowser, AFileThatFailsBeforeItsFirstRowShowsItsErrorOnce) {
    ui::TF_Velmora& w = Start();
    for (const NamedJpeg& damaged : FailingBeforeTheFirstRow()) {
        SCOPED_TRACE(damaged.name);
        WriteBytes(File("p3.jpg"), damaged.bytes);
        ClickRow(1);
        w.cxImage1->repaint();
        errors.texts.clear();

        ClickRow(6);
        for (int paint = 0; paint < 2; ++paint) {
            w.cxImage1->repaint();
            QCoreApplication::processEvents();
        }
        ASSERT_EQ(errors.texts.size(), 1);
        EXPECT_TRUE(errors.texts[0].startsWith(QStringLiteral("JPEG error #")))
            << errors.texts[0].toStdString();
        EXPECT_EQ(Status(), QStringLiteral("选定 1 个图片"));
    }
}

TEST_F(PictureBrowser, ARenamedEntryStaysListedAndLoadsByItsNewName) {
    Start();
    ui::TShellListView& list = List();
    list.setFocus();
    list.setCurrentIndex(list.Model()->index(1, 0));
    QTest::keyClick(&list, Qt::Key_F2);
    QLineEdit* editor = list.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "a.txt");
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(10);

    EXPECT_EQ(Names()[1], "a.txt");
    EXPECT_EQ(window->EntryPath(1), File("a.txt"));
    ASSERT_TRUE(errors.texts.isEmpty());

    ClickRow(3);
    ClickRow(1);
    ASSERT_FALSE(errors.texts.isEmpty());
    EXPECT_EQ(errors.texts.back().toStdString(), "Unknown picture file extension (.txt)");
    ASSERT_NE(Thumbnail(), nullptr);
    EXPECT_EQ(Thumbnail()->Width(), 13);
}

TEST_F(PictureBrowser, AFolderIsListedAgainOnlyAfterAnotherFolderWasSelected) {
    ui::TF_Velmora& w = Start();
    WriteJpeg(File("new.jpg"), 30);
    const QModelIndex root = w.ShellTreeView1->Model()->RootIndex();
    ClickTreeNode(root);
    EXPECT_EQ(Names(), kListed);

    ClickTreeNode(TreeChild("f"));
    EXPECT_EQ(w.ShellTreeView1->SelectedFolder(), File("f"));
    EXPECT_EQ(w.EntryCount(), 0);
    ClickTreeNode(root);
    EXPECT_TRUE(Names().contains("new.jpg"));
    EXPECT_EQ(w.EntryCount(), 9);
}

}  // namespace
}  // namespace velmora::test
