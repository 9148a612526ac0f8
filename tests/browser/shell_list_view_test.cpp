// The file list over real folders: what it lists and in which order, its detail columns,
// the selection reports and queries, double click, type-ahead and in-place renaming.
#define QTEST_QPA_MOUSE_HANDLING
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <functional>

#include "core/graphic.h"
#include "folder_fixture.h"
#include "ui/ErrorReport.h"
#include "ui/browser/FileNames.h"
#include "ui/browser/PictureFiles.h"
#include "ui/browser/ShellListModel.h"
#include "ui/browser/ShellListView.h"

namespace velmora::ui {
namespace {

using test::TempDir;

// What the main window keeps: names ending in ".jpg" in any letter case.
void JpegFilter(TShellListView*, const TShellItem& item, bool& canAdd) {
    canAdd = HasJpgExtension(item.displayName);
}

class ShellListViewTest : public ::testing::Test {
  protected:
    ShellListViewTest() {
        view.OnAddFolder = JpegFilter;
        view.resize(500, 300);
    }
    ~ShellListViewTest() override { SetErrorBoxHandler({}); }

    QStringList Names() const {
        QStringList names;
        for (int row = 0; row < view.EntryCount(); ++row) {
            names << view.Entry(row).displayName;
        }
        return names;
    }
    QString Text(int row, int column) const {
        return view.Model()->index(row, column).data().toString();
    }
    void Show() {
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    QPoint RowCenter(int row) const {
        return view.visualRect(view.Model()->index(row, 0)).center();
    }
    void Click(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, RowCenter(row));
    }
    std::vector<int> SelectedRows() const {
        std::vector<int> rows;
        for (int row = 0; row < view.EntryCount(); ++row) {
            if (view.EntrySelected(row)) {
                rows.push_back(row);
            }
        }
        return rows;
    }
    // Ten JPEG files p00.jpg .. p09.jpg.
    void ListTenFiles() {
        for (int i = 0; i < 10; ++i) {
            test::WriteJpegFile(dir.File("p0" + std::to_string(i) + ".jpg"));
        }
        view.SetRootFolder(dir.Path());
    }

    TempDir dir;
    TShellListView view;
};

TEST_F(ShellListViewTest, ListsJpgFoldersFirstThenFilesInNameOrderWithoutHiddenOrSpecialItems) {
    for (const char* name : {"a.jpg", "b.JPG", "c.Jpg", "d.jpeg", "e.png", "img10.jpg", "img2.jpg",
                             "Img3.jpg", ".h.jpg"}) {
        test::WriteJpegFile(dir.File(name));
    }
    for (const char* name : {"f", "g.jpg", ".k.jpg", "z.JPG"}) {
        test::MakeFolder(dir.File(name));
    }
    ASSERT_EQ(::mkfifo(dir.File("pipe.jpg").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("a.jpg", dir.File("link.jpg").c_str()), 0);
    ASSERT_EQ(::symlink("missing", dir.File("broken.jpg").c_str()), 0);
    ASSERT_EQ(::symlink("pipe.jpg", dir.File("pipelink.jpg").c_str()), 0);

    view.SetRootFolder(dir.Path());

    EXPECT_EQ(Names(), (QStringList{"g.jpg", "z.JPG", "a.jpg", "b.JPG", "c.Jpg", "img2.jpg",
                                    "Img3.jpg", "img10.jpg", "link.jpg"}));
    EXPECT_EQ(view.EntryPath(0), dir.File("g.jpg"));
    EXPECT_TRUE(view.Entry(0).isFolder);
    EXPECT_EQ(view.EntryPath(2), dir.File("a.jpg"));
    EXPECT_FALSE(view.Entry(2).isFolder);
}

TEST_F(ShellListViewTest, DetailColumnsShowSizeExtensionAndLastWrite) {
    test::WriteFileOfSize(dir.File("a.jpg"), 1536);
    test::MakeFolder(dir.File("g.JPG"));
    const QDateTime written(QDate(2021, 3, 4), QTime(5, 6, 7));
    const utimbuf times{written.toSecsSinceEpoch(), written.toSecsSinceEpoch()};
    ASSERT_EQ(::utime(dir.File("a.jpg").c_str(), &times), 0);

    view.SetRootFolder(dir.Path());

    QStringList captions;
    for (int column = 0; column < view.Model()->columnCount(); ++column) {
        captions << view.Model()->headerData(column, Qt::Horizontal).toString();
    }
    EXPECT_EQ(captions, (QStringList{"Name", "Size", "Type", "Modified"}));
    EXPECT_EQ(view.header()->sectionSize(0) * 10, view.header()->sectionSize(1) * 25);
    EXPECT_EQ((QStringList{Text(0, 0), Text(0, 1), Text(0, 2)}),
              (QStringList{"g.JPG", "-1", ".JPG"}));
    EXPECT_EQ((QStringList{Text(1, 0), Text(1, 1), Text(1, 2), Text(1, 3)}),
              (QStringList{"a.jpg", "1536", ".jpg", "2021-03-04 05:06"}));
}

TEST_F(ShellListViewTest, ReadsDetailsOnlyForTheRowsItDraws) {
    for (int i = 0; i < 300; ++i) {
        // Formatted by Qt: GCC 12 at -O3 warns falsely about std::string concatenation here.
        test::WriteFileOfSize(dir.File(QStringLiteral("p%1.jpg").arg(i).toStdString()), 10);
    }
    view.SetRootFolder(dir.Path());
    EXPECT_EQ(view.EntryCount(), 300);
    EXPECT_EQ(view.Model()->DetailsRead(), 0);

    Show();
    QApplication::processEvents();
    EXPECT_GT(view.Model()->DetailsRead(), 0);
    EXPECT_LT(view.Model()->DetailsRead(), 100);
}

TEST_F(ShellListViewTest, AFolderThatCannotBeReadListsAsEmpty) {
    ListTenFiles();
    view.SetRootFolder(dir.File("missing"));
    EXPECT_EQ(view.EntryCount(), 0);
    EXPECT_EQ(view.RootFolder(), dir.File("missing"));
}

TEST_F(ShellListViewTest, ListsAFolderAgainOnlyAfterAnotherFolderWasListed) {
    ListTenFiles();
    test::MakeFolder(dir.File("other"));
    test::WriteJpegFile(dir.File("new.jpg"));

    view.SetRootFolder(dir.Path() + "/");
    EXPECT_EQ(view.EntryCount(), 10);

    // Neither a key nor a double click lists anew or opens anything.
    Show();
    view.setCurrentIndex(view.Model()->index(3, 0));
    for (Qt::Key key : {Qt::Key_F5, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Backspace}) {
        QTest::keyClick(&view, key);
    }
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, RowCenter(3));
    EXPECT_EQ(view.EntryCount(), 10);
    EXPECT_EQ(view.RootFolder(), dir.Path());

    view.SetRootFolder(dir.File("other"));
    view.SetRootFolder(dir.Path());
    EXPECT_EQ(view.EntryCount(), 11);
}

// Each report comes with the selection as it stands after the change it reports, in the order
// of the changes, and a row's focus that moved with its selection in one press comes with the
// selection's report.
TEST_F(ShellListViewTest, ReportsEveryRowStateChangeWithTheSelectionAlreadyUpdated) {
    ListTenFiles();
    Show();
    std::vector<std::pair<int, int>> reports;  // first selected row, selected count
    view.OnChange = [&](TShellListView* sender) {
        EXPECT_EQ(sender, &view);
        reports.emplace_back(view.FirstSelectedRow(), view.SelectedCount());
    };

    using Reports = std::vector<std::pair<int, int>>;
    struct Step {
        const char* what;
        std::function<void()> act;
        Reports expected;
    };
    const std::vector<Step> steps = {
        {"click", [&] { Click(5); }, {{5, 1}}},
        // The old selection cleared, then the new row selected with the focus.
        {"click on another row", [&] { Click(3); }, {{-1, 0}, {3, 1}}},
        {"ctrl-click", [&] { Click(2, Qt::ControlModifier); }, {{2, 2}}},
        {"ctrl-click off", [&] { Click(2, Qt::ControlModifier); }, {{3, 1}}},
        // The focus stayed on row 2: the key moves it onto the selected row.
        {"key down onto the selected row", [&] { QTest::keyClick(&view, Qt::Key_Down); }, {{3, 1}}},
        {"ctrl+key down moves the focus alone",
         [&] { QTest::keyClick(&view, Qt::Key_Down, Qt::ControlModifier); },
         {{3, 1}}},
        {"click on the focused row", [&] { Click(4); }, {{-1, 0}, {4, 1}}},
        {"click on the selected row", [&] { Click(4); }, {}},
        {"key down", [&] { QTest::keyClick(&view, Qt::Key_Down); }, {{-1, 0}, {5, 1}}},
        {"ctrl-click off the only row", [&] { Click(5, Qt::ControlModifier); }, {{-1, 0}}},
        {"click on the empty area",
         [&] {
             QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                               QPoint(5, view.viewport()->height() - 2));
         },
         {}},
        {"click after an empty selection", [&] { Click(6); }, {{6, 1}}},
        // Forgetting the entries reports nothing; deselecting the old folder's rows does.
        {"another folder", [&] { view.SetRootFolder(dir.File("missing")); }, {{-1, 0}}},
        {"another folder again", [&] { view.SetRootFolder(dir.Path()); }, {}},
    };
    view.setFocus();
    for (const Step& step : steps) {
        reports.clear();
        step.act();
        EXPECT_EQ(reports, step.expected) << step.what;
    }
}

TEST_F(ShellListViewTest, DoubleClickOnOneRowOfAMultipleSelectionKeepsTheSelection) {
    ListTenFiles();
    Show();
    std::vector<std::vector<int>> atDoubleClick;
    view.OnDblClick = [&](TShellListView*) { atDoubleClick.push_back(SelectedRows()); };

    Click(2);
    Click(7, Qt::ControlModifier);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, RowCenter(7));
    ASSERT_EQ(atDoubleClick.size(), 1u);
    EXPECT_EQ(atDoubleClick[0], (std::vector<int>{2, 7}));
    EXPECT_EQ(view.FirstSelectedRow(), 2);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{2, 7}));

    // Below the last row: still a double click for the handler.
    const QPoint belowRows(50, view.viewport()->height() - 5);
    ASSERT_FALSE(view.indexAt(belowRows).isValid());
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, belowRows);
    EXPECT_EQ(atDoubleClick.size(), 2u);
    Click(2);
    Click(7, Qt::ControlModifier);

    // A single click on one of them selects it alone once it is no double click.
    Click(7);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{2, 7}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.SelectedCount() == 1; }));
    EXPECT_EQ(SelectedRows(), (std::vector<int>{7}));
}

TEST_F(ShellListViewTest, TypeAheadMovesToTheNextNameWithTheTypedBeginning) {
    for (const char* name : {"apple.jpg", "apricot.jpg", "Banana.jpg", "cherry.jpg"}) {
        test::WriteJpegFile(dir.File(name));
    }
    // Each case types its text quickly, as one search.
    QApplication::setKeyboardInputInterval(60 * 1000);
    const struct {
        int currentRow;  // -1: none
        const char* typed;
        int expectedRow;  // -1: nothing selected
    } cases[] = {
        {-1, "ch", 3}, {-1, "CHERRY.", 3}, {-1, "ban", 2}, {-1, "zz", -1}, {3, "a", 0},
        {0, "a", 1},   {0, "apr", 1},      {1, "ap", 0},   {2, "bx", 2},   {1, "x", 1},
    };
    for (const auto& c : cases) {
        TShellListView list;
        list.OnAddFolder = JpegFilter;
        list.SetRootFolder(dir.Path());
        if (c.currentRow >= 0) {
            list.setCurrentIndex(list.Model()->index(c.currentRow, 0));
        }
        QTest::keyClicks(&list, c.typed);
        const int selected = list.FirstSelectedRow();
        EXPECT_EQ(selected, c.expectedRow) << c.currentRow << " " << c.typed;
        EXPECT_EQ(list.SelectedCount(), c.expectedRow < 0 ? 0 : 1) << c.typed;
        if (c.expectedRow >= 0) {
            EXPECT_EQ(list.currentIndex().row(), c.expectedRow) << c.typed;
        }
    }
    QApplication::setKeyboardInputInterval(400);
}

class ShellListRenameTest : public ShellListViewTest {
  protected:
    void SetUp() override {
        test::WriteJpegFile(dir.File("a.jpg"), 10, 10);
        test::WriteJpegFile(dir.File("b.JPG"), 20, 10);
        test::WriteJpegFile(dir.File("c.Jpg"), 30, 10);
        view.SetRootFolder(dir.Path());
        Show();
        SetErrorBoxHandler([this](const QString& text) { boxes << text; });
    }
    // The open in-place editor, or none.
    QLineEdit* Editor() const {
        for (QLineEdit* editor : view.findChildren<QLineEdit*>()) {
            if (editor->isVisible()) {
                return editor;
            }
        }
        return nullptr;
    }
    // F2 on the row, then the text and the key that ends the edit.
    void EditName(int row, const QString& text, Qt::Key end) {
        view.setFocus();
        view.setCurrentIndex(view.Model()->index(row, 2));
        QTest::keyClick(&view, Qt::Key_F2);
        QLineEdit* editor = Editor();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), view.Entry(row).displayName);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, end);
        // The editor commits on a queued call; a refusal is reported on the round after.
        QApplication::processEvents();
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QStringList boxes;
};

TEST_F(ShellListRenameTest, RenamingInPlaceRenamesOnDiskAndKeepsTheRowWhereItWas) {
    EditName(0, "zz.txt", Qt::Key_Return);
    EXPECT_EQ(Names(), (QStringList{"zz.txt", "b.JPG", "c.Jpg"}));
    EXPECT_EQ(view.EntryPath(0), dir.File("zz.txt"));
    EXPECT_EQ(Text(0, 2), ".txt");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"b.JPG", "c.Jpg", "zz.txt"}));
    EXPECT_TRUE(boxes.isEmpty());

    EditName(1, "nothing.jpg", Qt::Key_Escape);
    EXPECT_EQ(Names(), (QStringList{"zz.txt", "b.JPG", "c.Jpg"}));
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"b.JPG", "c.Jpg", "zz.txt"}));
}

TEST_F(ShellListRenameTest, ARefusedRenameIsReportedAndReplacesNothing) {
    const std::vector<uint8_t> before = test::ReadBytes(dir.File("c.Jpg"));
    EditName(1, "c.Jpg", Qt::Key_Return);
    EXPECT_EQ(boxes, QStringList{"Rename to c.Jpg failed."});
    EXPECT_EQ(Names(), (QStringList{"a.jpg", "b.JPG", "c.Jpg"}));
    EXPECT_EQ(test::ReadBytes(dir.File("c.Jpg")), before);
    EXPECT_NE(test::ReadBytes(dir.File("b.JPG")), before);

    for (const char* name : {"", "sub/x.jpg", "..", "../up.jpg"}) {
        try {
            view.RenameEntry(0, QString::fromUtf8(name));
            ADD_FAILURE() << "renamed to " << name;
        } catch (const std::exception& error) {
            EXPECT_EQ(std::string(error.what()), std::string("Rename to ") + name + " failed");
        }
    }
    view.RenameEntry(0, "a.jpg");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.jpg", "b.JPG", "c.Jpg"}));
}

TEST_F(ShellListRenameTest, AClickOnTheSelectedRowsNameStartsEditing) {
    Click(1);
    EXPECT_EQ(Editor(), nullptr);
    Click(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Editor() != nullptr; }));
    QTest::keyClick(Editor(), Qt::Key_Escape);
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Editor(), nullptr);

    // Another column of the row is no name to edit.
    const QRect sizeCell = view.visualRect(view.Model()->index(1, 1));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, sizeCell.center());
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    EXPECT_EQ(Editor(), nullptr);

    // A double click on the selected row is no rename, and neither is a click on one row of
    // a multiple selection.
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, RowCenter(1));
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    EXPECT_EQ(Editor(), nullptr);
    Click(2, Qt::ControlModifier);
    Click(2);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(SelectedRows(), std::vector<int>{2});
}

TEST_F(ShellListViewTest, NamesThatAreNoValidTextAreListedAndOpenedByTheirBytes) {
    const std::string name = "\xd5\xd5.jpg";  // a name written in another character set
    test::WriteJpegFile(dir.File(name), 20, 10);
    view.SetRootFolder(dir.Path());
    ASSERT_EQ(view.EntryCount(), 1);
    EXPECT_EQ(view.EntryPath(0), dir.File(name));
    EXPECT_TRUE(view.Entry(0).displayName.endsWith(".jpg"));
    EXPECT_EQ(LoadPictureByFileName(view.EntryPath(0))->Width(), 20);
}

}  // namespace
}  // namespace velmora::ui
