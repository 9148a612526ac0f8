// The folder tree over a temporary "desktop": the root and its places, lazy reading of
// folders, following the selection with the list, and no renaming.
#define QTEST_QPA_MOUSE_HANDLING
#include <unistd.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include "folder_fixture.h"
#include "ui/browser/DesktopPlaces.h"
#include "ui/browser/FileNames.h"
#include "ui/browser/ShellListView.h"
#include "ui/browser/ShellTreeModel.h"
#include "ui/browser/ShellTreeView.h"

namespace velmora::ui {
namespace {

using test::TempDir;

class ShellTreeViewTest : public ::testing::Test {
  protected:
    ShellTreeViewTest() {
        // desktop: a10/, a2/ (deep/), b/ (.hidden/), .secret/, x.jpg; places: elsewhere/
        for (const char* folder :
             {"desktop", "desktop/a10", "desktop/a2", "desktop/a2/deep", "desktop/b",
              "desktop/b/.hidden", "desktop/.secret", "elsewhere", "elsewhere/inner"}) {
            test::MakeFolder(dir.File(folder));
        }
        test::WriteJpegFile(dir.File("desktop/x.jpg"));
        test::WriteJpegFile(dir.File("desktop/a2/y.jpg"));
        list.OnAddFolder = [](TShellListView*, const TShellItem& item, bool& canAdd) {
            canAdd = HasJpgExtension(item.displayName);
        };
        tree.SetShellListView(&list);
        tree.ShowRoot(QStringLiteral("桌面"), dir.File("desktop"), QIcon(),
                      {TPlace{QStringLiteral("别处"), dir.File("elsewhere"), QIcon()}});
    }

    TShellTreeModel& Model() const { return *tree.Model(); }
    QModelIndex Root() const { return Model().RootIndex(); }
    QStringList Captions(const QModelIndex& parent) const {
        QStringList captions;
        for (int row = 0; row < Model().rowCount(parent); ++row) {
            captions << Model().index(row, 0, parent).data().toString();
        }
        return captions;
    }
    QModelIndex Child(const QModelIndex& parent, const QString& caption) const {
        for (int row = 0; row < Model().rowCount(parent); ++row) {
            const QModelIndex child = Model().index(row, 0, parent);
            if (child.data().toString() == caption) {
                return child;
            }
        }
        return {};
    }
    void Show() {
        tree.resize(300, 400);
        tree.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    }
    void ClickNode(const QModelIndex& node) {
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(node).center());
    }

    TempDir dir;
    TShellListView list;
    TShellTreeView tree;
};

TEST_F(ShellTreeViewTest, StartsWithTheRootExpandedAndSelectedAndTheListShowingIt) {
    ASSERT_EQ(Model().rowCount(), 1);
    EXPECT_EQ(Root().data().toString(), "桌面");
    EXPECT_TRUE(tree.isExpanded(Root()));
    EXPECT_EQ(tree.currentIndex(), Root());
    EXPECT_EQ(tree.SelectedFolder(), dir.File("desktop"));
    EXPECT_EQ(list.RootFolder(), dir.File("desktop"));
    ASSERT_EQ(list.EntryCount(), 1);
    EXPECT_EQ(list.Entry(0).displayName, "x.jpg");

    // Places first, then the desktop's own folders in name order; no hidden folder, no file.
    EXPECT_EQ(Captions(Root()), (QStringList{"别处", "a2", "a10", "b"}));
}

TEST_F(ShellTreeViewTest, ReadsAFolderOnItsFirstExpansionOnly) {
    const QModelIndex a2 = Child(Root(), "a2");
    const QModelIndex b = Child(Root(), "b");
    EXPECT_EQ(Model().rowCount(a2), 0);
    EXPECT_TRUE(Model().hasChildren(a2));
    EXPECT_FALSE(Model().hasChildren(b));  // its only folder is hidden
    EXPECT_TRUE(Model().hasChildren(Child(Root(), "别处")));

    tree.expand(a2);
    EXPECT_EQ(Captions(a2), QStringList{"deep"});
    test::MakeFolder(dir.File("desktop/a2/later"));
    tree.collapse(a2);
    tree.expand(a2);
    EXPECT_EQ(Captions(a2), QStringList{"deep"});

    // A folder gone since its parent was read loses its expand button when expanded.
    const QModelIndex a10 = Child(Root(), "a10");
    test::MakeFolder(dir.File("desktop/a10/sub"));
    const QModelIndex elsewhere = Child(Root(), "别处");
    ASSERT_EQ(::rmdir(dir.File("elsewhere/inner").c_str()), 0);
    tree.expand(elsewhere);
    EXPECT_EQ(Model().rowCount(elsewhere), 0);
    EXPECT_FALSE(Model().hasChildren(elsewhere));
    EXPECT_FALSE(Model().hasChildren(a10));  // read when the root was expanded
}

TEST_F(ShellTreeViewTest, SelectingAnotherFolderListsItAndTheSameFolderIsNotListedAgain) {
    Show();
    ClickNode(Child(Root(), "a2"));
    EXPECT_EQ(list.RootFolder(), dir.File("desktop/a2"));
    EXPECT_EQ(list.EntryCount(), 1);

    test::WriteJpegFile(dir.File("desktop/a2/z.jpg"));
    ClickNode(Child(Root(), "a2"));
    EXPECT_EQ(list.EntryCount(), 1);
    ClickNode(Root());
    EXPECT_EQ(list.RootFolder(), dir.File("desktop"));
    ClickNode(Child(Root(), "a2"));
    EXPECT_EQ(list.EntryCount(), 2);
}

TEST_F(ShellTreeViewTest, CollapsingTheBranchOfTheSelectedFolderSelectsItsNodeAndListsIt) {
    Show();
    const QModelIndex a2 = Child(Root(), "a2");
    tree.expand(a2);
    ClickNode(Child(a2, "deep"));
    ASSERT_EQ(list.RootFolder(), dir.File("desktop/a2/deep"));

    // A branch that does not hold the selected folder changes nothing.
    const QModelIndex elsewhere = Child(Root(), "别处");
    tree.expand(elsewhere);
    tree.collapse(elsewhere);
    EXPECT_EQ(tree.SelectedFolder(), dir.File("desktop/a2/deep"));

    // The expand button of a2, left of its caption.
    const QRect caption = tree.visualRect(a2);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                      QPoint(caption.left() - tree.indentation() / 2, caption.center().y()));
    ASSERT_FALSE(tree.isExpanded(a2));
    EXPECT_EQ(tree.currentIndex(), a2);
    EXPECT_EQ(tree.selectionModel()->selectedIndexes(), QModelIndexList{a2});
    EXPECT_EQ(list.RootFolder(), dir.File("desktop/a2"));

    // Collapsing from the keyboard, and a collapse below the root, the same.
    tree.expand(a2);
    ClickNode(Child(a2, "deep"));
    tree.setFocus();
    tree.collapse(Root());
    EXPECT_EQ(tree.currentIndex(), Root());
    EXPECT_EQ(list.RootFolder(), dir.File("desktop"));
}

TEST_F(ShellTreeViewTest, OtherButtonsThanTheLeftOneNeitherSelectNorList) {
    Show();
    const QModelIndex b = Child(Root(), "b");
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseClick(tree.viewport(), button, {}, tree.visualRect(b).center());
        QTest::mouseDClick(tree.viewport(), button, {}, tree.visualRect(b).center());
        EXPECT_EQ(tree.currentIndex(), Root()) << button;
        EXPECT_EQ(tree.selectionModel()->selectedIndexes(), QModelIndexList{Root()}) << button;
        EXPECT_EQ(list.RootFolder(), dir.File("desktop")) << button;
    }
    // Nor does moving over the folders with the right button held.
    const QPoint from = tree.visualRect(b).center();
    const QPoint to = tree.visualRect(Child(Root(), "a10")).center();
    QTest::mousePress(tree.viewport(), Qt::RightButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(tree.viewport()->mapToGlobal(to)),
                     Qt::NoButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &move);
    QTest::mouseRelease(tree.viewport(), Qt::RightButton, {}, to);
    EXPECT_EQ(tree.currentIndex(), Root());
    EXPECT_EQ(list.RootFolder(), dir.File("desktop"));
}

TEST_F(ShellTreeViewTest, AsksTheEditingHandlerAndNeverOpensAnEditor) {
    Show();
    std::vector<QString> asked;
    tree.OnEditing = [&](TShellTreeView* sender, const QModelIndex& node, bool& allowEdit) {
        EXPECT_EQ(sender, &tree);
        asked.push_back(node.data().toString());
        allowEdit = false;
    };
    tree.setFocus();
    tree.setCurrentIndex(Child(Root(), "b"));
    QTest::keyClick(&tree, Qt::Key_F2);
    EXPECT_EQ(asked, std::vector<QString>{"b"});
    for (const QLineEdit* editor : tree.findChildren<QLineEdit*>()) {
        EXPECT_FALSE(editor->isVisible());
    }
}

TEST(DesktopPlaces, OfferTheWholeFileSystemAndLeaveOutTheDesktopItself) {
    const std::string home = QFile::encodeName(QDir::homePath()).toStdString();
    const std::vector<TPlace> places = DesktopPlaces(home + "/");
    QStringList captions;
    for (const TPlace& place : places) {
        captions << place.caption;
        EXPECT_NE(place.path, home);
    }
    ASSERT_TRUE(captions.contains("文件系统"));
    EXPECT_EQ(places[captions.indexOf("文件系统")].path, "/");
    EXPECT_FALSE(captions.contains("主文件夹"));

    TempDir desktop;
    EXPECT_TRUE(DesktopPlaces(desktop.Path()).front().caption == "主文件夹");
}

TEST(DesktopPlaces, LeaveOutMountsThatHoldNoUserFiles) {
    const struct {
        const char* type;
        const char* mountPoint;
        bool pseudo;
    } cases[] = {
        {"ext4", "/home", false},
        {"vfat", "/media/u/STICK", false},
        {"vfat", "/run/media/u/STICK", false},
        {"nfs4", "/mnt/share", false},
        {"proc", "/proc", true},
        {"tmpfs", "/tmp", true},
        {"cgroup2", "/sys/fs/cgroup", true},
        {"ext4", "/dev/shm/x", true},
        {"ext4", "/run/user/1000/x", true},
        {"squashfs", "/snap/core/1", true},
        {"fuse.portal", "/run/user/1000/doc", true},
        {"ext4", "/home/u/.cache/x", true},
        {"vfat", "/run/media/u/.x", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsPseudoMount(c.type, QString::fromUtf8(c.mountPoint)), c.pseudo)
            << c.type << " " << c.mountPoint;
    }
}

}  // namespace
}  // namespace velmora::ui
