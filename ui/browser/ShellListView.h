// The file list: the entries of one folder that the form's filter keeps, folders first, in
// report view with multiple whole-row selection. The view keeps only the row count and the
// row states; the model answers for a row when it is drawn. Double click, Enter, Backspace
// and F5 never navigate or refresh.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QTreeView>
#include <functional>
#include <string>

#include "ShellItem.h"

namespace velmora::ui {

class TShellListModel;

class TShellListView : public QTreeView {
    Q_OBJECT
  public:
    explicit TShellListView(QWidget* parent = nullptr);

    // Lists the folder anew, unless it is the folder already listed.
    void SetRootFolder(const std::string& folder);
    const std::string& RootFolder() const { return rootFolder_; }
    TShellListModel* Model() const { return model_; }

    // Selection queries: they read the view's current state.
    int EntryCount() const;
    int SelectedCount() const;
    bool EntrySelected(int row) const;
    const std::string& EntryPath(int row) const;
    const TShellItem& Entry(int row) const;
    // The selected row with the lowest index, or -1.
    int FirstSelectedRow() const;

    // Renames the entry on disk and shows the new name; the filter is not applied again and
    // the list is not sorted again. Nothing happens when the folder allows no renaming or the
    // name is unchanged; a refused rename raises "Rename to %s failed".
    void RenameEntry(int row, const QString& name);

    // Called for every item of the folder before it is added; it may set canAdd false.
    std::function<void(TShellListView* sender, const TShellItem& item, bool& canAdd)> OnAddFolder;
    // Called for every change of a row's selected or focused state, including the changes
    // that concern all rows at once, each with the selection as it stands after that change:
    // a click on another row reports the old selection cleared, then the new row selected
    // and focused. Listing another folder reports the old rows deselected.
    std::function<void(TShellListView* sender)> OnChange;
    // Called for every double click in the list, on a row or not.
    std::function<void(TShellListView* sender)> OnDblClick;

    void keyboardSearch(const QString& search) override;

  protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    friend class TRenameDelegate;
    class TUserAction;
    // An in-place edit was committed: rename, reporting a refusal once the editor is gone.
    void CommitRename(int row, const QString& name);
    void ReportChange();
    void ResetColumns();
    void ApplyPendingClick();

    TShellListModel* model_;
    std::string rootFolder_;
    bool listed_ = false;
    // Type-ahead: characters typed quickly one after another extend the search text.
    QString searchText_;
    QElapsedTimer searchTimer_;
    // A plain click on a row of a multiple selection selects that row alone only once it
    // has turned out not to be the first half of a double click. Started from
    // selectionCommand, which the view declares const.
    mutable QTimer pendingClick_;
    mutable QPersistentModelIndex pendingClickIndex_;
    bool inDoubleClick_ = false;
    // Inside a mouse or key press: whether the focus moved and whether the selection was
    // reported (see TUserAction).
    int actionDepth_ = 0;
    bool focusMoved_ = false;
    bool selectionReported_ = false;
};

}  // namespace velmora::ui
