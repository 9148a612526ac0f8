// The main window: menu bar and toolbar with the three commands, the picture browser on the
// left and top, the preview frame below the file list, and the status pane.
#pragma once

#include <QMainWindow>
#include <string>

class QAction;
class QFrame;
class QMenu;
class QSplitter;
class QToolBar;
class QTreeView;

namespace velmora {
class TcxImage;
}

namespace velmora::ui {

class TRzStatusPane;
class TScrollBoxFrame;

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
    QTreeView* ShellTreeView1;
    QFrame* Panel2;
    QSplitter* Splitter1;
    QTreeView* ShellListView1;
    TcxImage* cxImage1;
    QAction* Btn_Compress;
    QAction* dxBarLargeButton2;
    QAction* dxBarLargeButton3;
    QFrame* RzStatusBar1;
    TRzStatusPane* RzStatusPane1;
    QSplitter* Splitter2;

    // Queries of the file list, in list order.
    int EntryCount() const;
    bool EntrySelected(int row) const;
    // The entry's full file-system path (the file system's bytes).
    std::string EntryPath(int row) const;
    int SelectedCount() const;

  protected:
    QMenu* createPopupMenu() override { return nullptr; }
    void showEvent(QShowEvent* event) override;

  private:
    void BuildBars();
    void BuildPanels();
    void Btn_CompressClick();
    void dxBarLargeButton2Click();
    void dxBarLargeButton3Click();

    bool centred_ = false;
};

extern TF_Velmora* F_Velmora;

}  // namespace velmora::ui
