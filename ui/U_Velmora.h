// The main window: menu bar and toolbar with the three commands, the picture browser on the
// left and top, the preview frame below the file list, and the status pane.
#pragma once

#include <QMainWindow>
#include <cstdint>
#include <string>

class QAction;
class QFrame;
class QMenu;
class QSplitter;
class QModelIndex;
class QToolBar;

namespace velmora {
class TcxImage;
}

namespace velmora::ui {

class TRzStatusPane;
class TScrollBoxFrame;
class TShellListView;
class TShellTreeView;
struct TShellItem;

class TF_Velmora : public QMainWindow {
    Q_OBJECT
  public:
    explicit TF_Velmora(QWidget* parent = nullptr);

    // Runs once before the window is first shown: creates the preview frame, writes the
    // default settings on the first start, and puts the stored percents on the sliders.
    void FormCreate();

    QMenuBar* dxBarManager1MenuBar;
    QMenu* dxBarSubItem1;
    QMenu* dxBarSubItem2;
    QMenu* dxBarSubItem3;
    QToolBar* dxBarManager1ToolBar;
    QFrame* Panel1;
    TShellTreeView* ShellTreeView1;
    QFrame* Panel2;
    QSplitter* Splitter1;
    TShellListView* ShellListView1;
    TcxImage* cxImage1;
    QAction* Btn_Compress;
    QAction* dxBarLargeButton2;
    QAction* dxBarLargeButton3;
    QFrame* RzStatusBar1;
    TRzStatusPane* RzStatusPane1;
    QSplitter* Splitter2;

    // Queries of the file list, in list order; they read its current state.
    int EntryCount() const;
    bool EntrySelected(int row) const;
    // The entry's full file-system path (the file system's bytes).
    std::string EntryPath(int row) const;
    int SelectedCount() const;

  protected:
    QMenu* createPopupMenu() override { return nullptr; }

  private:
    void BuildBars();
    void BuildPanels();
    void BuildBrowser();
    // Keeps the entries whose display name ends in ".jpg" in any letter case, folders too.
    void ShellListView1AddFolder(TShellListView* Sender, const TShellItem& AFolder, bool& CanAdd);
    // Every row-state report: the count, then the thumbnail from the first selected entry.
    void ShellListView1Change(TShellListView* Sender);
    // The first selected entry into the preview panes, with its size.
    void ShellListView1DblClick(TShellListView* Sender);
    void ShellTreeView1Editing(TShellTreeView* Sender, const QModelIndex& Node, bool& AllowEdit);
    static int64_t GetFileSizeOf(const std::string& path);
    void Btn_CompressClick();
    void dxBarLargeButton2Click();
    void dxBarLargeButton3Click();
};

extern TF_Velmora* F_Velmora;

}  // namespace velmora::ui
