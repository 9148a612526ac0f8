#include "ShellTreeView.h"

#include <QMouseEvent>

#include "SelectionLook.h"
#include "ShellIcons.h"
#include "ShellListView.h"
#include "ShellTreeModel.h"

namespace velmora::ui {

namespace {

constexpr int kIndent = 19;

}  // namespace

TShellTreeView::TShellTreeView(QWidget* parent)
    : QTreeView(parent), model_(new TShellTreeModel(this)) {
    setModel(model_);
    setHeaderHidden(true);
    setIndentation(kIndent);
    setRootIsDecorated(false);
    setSelectionMode(SingleSelection);
    setEditTriggers(EditKeyPressed | SelectedClicked);
    setContextMenuPolicy(Qt::NoContextMenu);
    KeepSelectionVisibleWithoutFocus(*this);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { FollowSelection(current); });
    connect(this, &QTreeView::collapsed, this,
            [this](const QModelIndex& node) { SelectCollapsedBranch(node); });
    // A node expanded before the view is laid out (or while hidden) is read at once as well.
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& node) {
        if (model_->canFetchMore(node)) {
            model_->fetchMore(node);
        }
    });
}

void TShellTreeView::SetShellListView(TShellListView* list) {
    list_ = list;
}

void TShellTreeView::ShowDesktop(const std::string& desktop) {
    ShowRoot(QStringLiteral("桌面"), desktop, DesktopIcon(), DesktopPlaces(desktop));
}

void TShellTreeView::ShowRoot(const QString& caption, const std::string& path, const QIcon& icon,
                              std::vector<TPlace> places) {
    model_->SetRoot(caption, path, icon, std::move(places));
    const QModelIndex root = model_->RootIndex();
    expand(root);
    setCurrentIndex(root);
}

std::string TShellTreeView::SelectedFolder() const {
    return model_->FolderPath(currentIndex());
}

bool TShellTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (index.isValid() && (trigger & editTriggers())) {
        bool allowEdit = true;
        if (OnEditing) {
            OnEditing(this, index, allowEdit);
        }
        if (!allowEdit) {
            return false;
        }
    }
    return QTreeView::edit(index, trigger, event);
}

void TShellTreeView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        QTreeView::mousePressEvent(event);
    }
}

void TShellTreeView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        QTreeView::mouseReleaseEvent(event);
    }
}

void TShellTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        QTreeView::mouseDoubleClickEvent(event);
    }
}

void TShellTreeView::SelectCollapsedBranch(const QModelIndex& node) {
    for (QModelIndex above = currentIndex().parent(); above.isValid(); above = above.parent()) {
        if (above == node) {
            setCurrentIndex(node);
            return;
        }
    }
}

void TShellTreeView::FollowSelection(const QModelIndex& current) {
    if (list_ && current.isValid()) {
        list_->SetRootFolder(model_->FolderPath(current));
    }
}

}  // namespace velmora::ui
