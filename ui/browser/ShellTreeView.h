// The folder tree: rooted at the desktop, folders only, read lazily, linked to the file list
// so that the list always shows the selected folder.
#pragma once

#include <QTreeView>
#include <functional>
#include <string>

#include "DesktopPlaces.h"

namespace velmora::ui {

class TShellListView;
class TShellTreeModel;

class TShellTreeView : public QTreeView {
    Q_OBJECT
  public:
    explicit TShellTreeView(QWidget* parent = nullptr);

    // The list that follows the tree's selection.
    void SetShellListView(TShellListView* list);

    // The desktop folder with its places as the root "桌面", expanded one level and selected.
    void ShowDesktop(const std::string& desktop);
    // The same for any folder, with the given places before its own folders.
    void ShowRoot(const QString& caption, const std::string& path, const QIcon& icon,
                  std::vector<TPlace> places);

    // The folder of the selected node ("" before a root is shown).
    std::string SelectedFolder() const;
    TShellTreeModel* Model() const { return model_; }

    // Asked before in-place editing of a node starts; editing starts only when it leaves
    // allowEdit true (the tree itself never renames a folder).
    std::function<void(TShellTreeView* sender, const QModelIndex& node, bool& allowEdit)> OnEditing;

  protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    // Only the left button selects; the tree offers nothing on the others.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void FollowSelection(const QModelIndex& current);
    // A collapsed branch that held the selected node gives the selection to its own node.
    void SelectCollapsedBranch(const QModelIndex& node);

    TShellTreeModel* model_;
    TShellListView* list_ = nullptr;
};

}  // namespace velmora::ui
