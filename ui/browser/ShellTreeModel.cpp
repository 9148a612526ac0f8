#include "ShellTreeModel.h"

#include "FolderEnumeration.h"
#include "NameOrder.h"
#include "ShellIcons.h"
#include "WaitCursor.h"

namespace velmora::ui {

struct TShellTreeModel::TNode {
    QString caption;
    std::string path;
    QIcon icon;
    TNode* parent = nullptr;
    int row = 0;
    std::vector<std::unique_ptr<TNode>> children;
    bool childrenRead = false;
    bool hasChildren = false;

    TNode* AddChild(QString childCaption, std::string childPath, QIcon childIcon) {
        auto child = std::make_unique<TNode>();
        child->caption = std::move(childCaption);
        child->path = std::move(childPath);
        child->icon = std::move(childIcon);
        child->parent = this;
        child->row = static_cast<int>(children.size());
        child->hasChildren = HasSubFolders(child->path);
        children.push_back(std::move(child));
        return children.back().get();
    }
};

TShellTreeModel::TShellTreeModel(QObject* parent)
    : QAbstractItemModel(parent), invisibleRoot_(std::make_unique<TNode>()) {
    invisibleRoot_->childrenRead = true;
}

TShellTreeModel::~TShellTreeModel() = default;

void TShellTreeModel::SetRoot(const QString& caption, const std::string& path, const QIcon& icon,
                              std::vector<TPlace> places) {
    beginResetModel();
    invisibleRoot_->children.clear();
    rootPlaces_ = std::move(places);
    if (folderIcon_.isNull()) {
        folderIcon_ = FolderIcon();
    }
    TNode* root = invisibleRoot_->AddChild(caption, path, icon);
    root->hasChildren = root->hasChildren || !rootPlaces_.empty();
    endResetModel();
}

QModelIndex TShellTreeModel::RootIndex() const {
    return index(0, 0);
}

std::string TShellTreeModel::FolderPath(const QModelIndex& index) const {
    const TNode* node = NodeOf(index);
    return node == invisibleRoot_.get() ? std::string() : node->path;
}

TShellTreeModel::TNode* TShellTreeModel::NodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<TNode*>(index.internalPointer()) : invisibleRoot_.get();
}

QModelIndex TShellTreeModel::IndexOf(const TNode* node) const {
    if (node == invisibleRoot_.get()) {
        return {};
    }
    return createIndex(node->row, 0, const_cast<TNode*>(node));
}

QModelIndex TShellTreeModel::index(int row, int column, const QModelIndex& parent) const {
    const TNode* node = NodeOf(parent);
    if (column != 0 || row < 0 || row >= static_cast<int>(node->children.size())) {
        return {};
    }
    return createIndex(row, 0, node->children[row].get());
}

QModelIndex TShellTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) {
        return {};
    }
    return IndexOf(NodeOf(child)->parent);
}

int TShellTreeModel::rowCount(const QModelIndex& parent) const {
    return static_cast<int>(NodeOf(parent)->children.size());
}

int TShellTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant TShellTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const TNode* node = NodeOf(index);
    switch (role) {
        case Qt::DisplayRole:
            return node->caption;
        case Qt::DecorationRole:
            return node->icon.isNull() ? folderIcon_ : node->icon;
        default:
            return {};
    }
}

bool TShellTreeModel::hasChildren(const QModelIndex& parent) const {
    const TNode* node = NodeOf(parent);
    return node->childrenRead ? !node->children.empty() : node->hasChildren;
}

bool TShellTreeModel::canFetchMore(const QModelIndex& parent) const {
    const TNode* node = NodeOf(parent);
    return !node->childrenRead && node->hasChildren;
}

void TShellTreeModel::fetchMore(const QModelIndex& parent) {
    TNode* node = NodeOf(parent);
    if (node->childrenRead) {
        return;
    }
    node->childrenRead = true;
    const TWaitCursor wait;
    std::vector<TShellItem> folders = EnumerateFolder(node->path, TEnumeration::Folders);
    SortShellItems(folders, false);
    const bool isRoot = node->parent == invisibleRoot_.get();
    const size_t places = isRoot ? rootPlaces_.size() : 0;
    if (places + folders.size() == 0) {
        // The expand button goes: the view asks hasChildren again on the new layout.
        emit layoutAboutToBeChanged();
        emit layoutChanged();
        return;
    }
    beginInsertRows(parent, 0, static_cast<int>(places + folders.size()) - 1);
    if (isRoot) {
        for (TPlace& place : rootPlaces_) {
            node->AddChild(place.caption, place.path, place.icon);
        }
        rootPlaces_.clear();
    }
    for (TShellItem& folder : folders) {
        node->AddChild(folder.displayName, folder.path, QIcon());
    }
    endInsertRows();
}

}  // namespace velmora::ui
