#include "ShellListView.h"

#include <unistd.h>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QStyledItemDelegate>

#include "FileNames.h"
#include "FileRename.h"
#include "FolderEnumeration.h"
#include "ListSelectionModel.h"
#include "NameOrder.h"
#include "SelectionLook.h"
#include "ShellListModel.h"
#include "WaitCursor.h"
#include "core/errors.h"
#include "ui/CoreText.h"
#include "ui/ErrorReport.h"

namespace velmora::ui {

namespace {

const char kHint[] = "双击显示大图";

// A name the folder can hold: not empty, no "/" or NUL byte, not "." or "..".
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

}  // namespace

// Hands a committed edit to the view, which renames on disk; the model is never written
// through the delegate.
class TRenameDelegate : public QStyledItemDelegate {
  public:
    explicit TRenameDelegate(TShellListView* view) : QStyledItemDelegate(view), view_(view) {}

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        if (const auto* line = qobject_cast<QLineEdit*>(editor)) {
            view_->CommitRename(index.row(), line->text());
        }
    }

  private:
    TShellListView* view_;
};

TShellListView::TShellListView(QWidget* parent)
    : QTreeView(parent), model_(new TShellListModel(this)) {
    setModel(model_);
    QItemSelectionModel* plainSelection = selectionModel();
    setSelectionModel(new TListSelectionModel(model_, this));
    delete plainSelection;
    setItemDelegate(new TRenameDelegate(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectRows);
    setEditTriggers(SelectedClicked | EditKeyPressed);
    setContextMenuPolicy(Qt::NoContextMenu);
    // Over the rows and over the empty area below them alike.
    setToolTip(QString::fromUtf8(kHint));
    viewport()->setToolTip(QString::fromUtf8(kHint));
    KeepSelectionVisibleWithoutFocus(*this);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(false);
    ResetColumns();

    pendingClick_.setSingleShot(true);
    pendingClick_.setInterval(QApplication::doubleClickInterval());
    connect(&pendingClick_, &QTimer::timeout, this, &TShellListView::ApplyPendingClick);

    // A click on another row reports the old selection cleared, then the new row selected;
    // its focus comes with that last report (see TUserAction).
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (actionDepth_ > 0) {
            selectionReported_ = true;
        }
        ReportChange();
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (actionDepth_ > 0) {
            focusMoved_ = true;
        } else {
            ReportChange();
        }
    });
}

// Qt moves the focus of a clicked row before it changes the selection, while the old
// selection still stands, and of a row reached by a key after. Within one mouse or key press
// the focus report is therefore held to the end; when the selection was reported meanwhile,
// that report already saw the state the focus report would see, and it is not repeated.
class TShellListView::TUserAction {
  public:
    explicit TUserAction(TShellListView& view) : view_(view) { ++view_.actionDepth_; }
    ~TUserAction() {
        if (--view_.actionDepth_ > 0) {
            return;
        }
        const bool report = view_.focusMoved_ && !view_.selectionReported_;
        view_.focusMoved_ = false;
        view_.selectionReported_ = false;
        if (report) {
            view_.ReportChange();
        }
    }
    TUserAction(const TUserAction&) = delete;
    TUserAction& operator=(const TUserAction&) = delete;

  private:
    TShellListView& view_;
};

void TShellListView::SetRootFolder(const std::string& folder) {
    if (listed_ && WithoutTrailingSlash(folder) == WithoutTrailingSlash(rootFolder_)) {
        return;
    }
    listed_ = true;
    rootFolder_ = folder;
    pendingClick_.stop();
    // The rows of the old folder leave the selection with a report of their own (forgetting
    // the entries reports nothing), so the count is that of the folder shown.
    selectionModel()->clearSelection();
    const TWaitCursor wait;
    model_->SetEntries({}, false);
    std::vector<TShellItem> entries;
    for (TShellItem& item : EnumerateFolder(folder, TEnumeration::FoldersAndFiles)) {
        bool canAdd = true;
        if (OnAddFolder) {
            OnAddFolder(this, item, canAdd);
        }
        if (canAdd) {
            entries.push_back(std::move(item));
        }
    }
    SortShellItems(entries, true);
    model_->SetEntries(std::move(entries), ::access(folder.c_str(), W_OK) == 0);
    ResetColumns();
}

void TShellListView::ResetColumns() {
    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('X'));
    for (int column = 0; column < TShellListModel::ColCount; ++column) {
        header()->resizeSection(column, TShellListModel::Column(column).widthInChars * charWidth);
    }
}

int TShellListView::EntryCount() const {
    return model_->EntryCount();
}

int TShellListView::SelectedCount() const {
    return static_cast<int>(selectionModel()->selectedRows().size());
}

bool TShellListView::EntrySelected(int row) const {
    return selectionModel()->isSelected(model_->index(row, 0));
}

const std::string& TShellListView::EntryPath(int row) const {
    return model_->Entry(row).path;
}

const TShellItem& TShellListView::Entry(int row) const {
    return model_->Entry(row);
}

int TShellListView::FirstSelectedRow() const {
    int first = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (first < 0 || range.top() < first) {
            first = range.top();
        }
    }
    return first;
}

void TShellListView::RenameEntry(int row, const QString& name) {
    const TShellItem& entry = model_->Entry(row);
    if (!model_->Renamable() || name == entry.displayName) {
        return;
    }
    const std::string fileName = ToCorePath(name);
    const std::string target = JoinPath(rootFolder_, fileName);
    if (!IsPlainName(fileName) || !RenameWithoutReplacing(entry.path, target)) {
        throw Exception("Rename to " + name.toStdString() + " failed");
    }
    model_->SetEntryName(row, FromCorePath(fileName), target);
}

void TShellListView::CommitRename(int row, const QString& name) {
    try {
        RenameEntry(row, name);
    } catch (const std::exception& error) {
        // The editor is still being closed; the box comes once that is done.
        QMetaObject::invokeMethod(
            this, [message = ErrorMessage(error)] { ReportError(message); }, Qt::QueuedConnection);
    }
}

void TShellListView::ReportChange() {
    RunHandler([this] {
        if (OnChange) {
            OnChange(this);
        }
    });
}

void TShellListView::keyboardSearch(const QString& search) {
    if (search.isEmpty() || search.front() < QLatin1Char(' ') || EntryCount() == 0) {
        return;
    }
    const bool extend =
        searchTimer_.isValid() && searchTimer_.elapsed() <= QApplication::keyboardInputInterval();
    searchText_ = extend ? searchText_ + search : search;
    searchTimer_.restart();

    const int count = EntryCount();
    const int current = currentIndex().isValid() ? currentIndex().row() : -1;
    // A new search begins after the current entry, so that typing the same letter again moves
    // on; a longer text may still match the current entry.
    const int start = extend ? std::max(current, 0) : (current + 1) % count;
    const QString wanted = AsciiUpperCase(searchText_);
    for (int step = 0; step < count; ++step) {
        const int row = (start + step) % count;
        if (AsciiUpperCase(model_->Entry(row).displayName).startsWith(wanted)) {
            const QModelIndex found = model_->index(row, 0);
            selectionModel()->setCurrentIndex(
                found, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            scrollTo(found);
            return;
        }
    }
}

bool TShellListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // A click on one row of a multiple selection selects it alone (see selectionCommand);
    // only a click on the single selected row renames it.
    if (trigger == SelectedClicked && SelectedCount() > 1) {
        return false;
    }
    // F2 renames the focused row whichever of its cells has the focus.
    const QModelIndex target = trigger == EditKeyPressed ? index.siblingAtColumn(0) : index;
    return QTreeView::edit(target, trigger, event);
}

QItemSelectionModel::SelectionFlags TShellListView::selectionCommand(const QModelIndex& index,
                                                                     const QEvent* event) const {
    const QItemSelectionModel::SelectionFlags command = QTreeView::selectionCommand(index, event);
    if (!event || event->type() != QEvent::MouseButtonRelease) {
        return command;
    }
    if (inDoubleClick_) {
        return QItemSelectionModel::NoUpdate;
    }
    if ((command & QItemSelectionModel::Clear) && index.isValid() &&
        selectionModel()->isSelected(index) && SelectedCount() > 1) {
        pendingClickIndex_ = index;
        pendingClick_.start();
        return QItemSelectionModel::NoUpdate;
    }
    return command;
}

void TShellListView::ApplyPendingClick() {
    if (pendingClickIndex_.isValid()) {
        selectionModel()->select(pendingClickIndex_,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    pendingClickIndex_ = QPersistentModelIndex();
}

void TShellListView::mousePressEvent(QMouseEvent* event) {
    pendingClick_.stop();
    inDoubleClick_ = false;
    const TUserAction action(*this);
    QTreeView::mousePressEvent(event);
}

void TShellListView::mouseDoubleClickEvent(QMouseEvent* event) {
    pendingClick_.stop();
    inDoubleClick_ = true;
    QTreeView::mouseDoubleClickEvent(event);
    RunHandler([this] {
        if (OnDblClick) {
            OnDblClick(this);
        }
    });
}

void TShellListView::keyPressEvent(QKeyEvent* event) {
    pendingClick_.stop();
    const TUserAction action(*this);
    QTreeView::keyPressEvent(event);
}

}  // namespace velmora::ui
