// The folders of the tree: one root node (the desktop) whose children are the places and the
// desktop's own folders; every other node holds the folders of its folder. Children are read
// on a node's first expansion only; nothing is read again afterwards.
#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <memory>
#include <string>
#include <vector>

#include "DesktopPlaces.h"

namespace velmora::ui {

class TShellTreeModel : public QAbstractItemModel {
    Q_OBJECT
  public:
    explicit TShellTreeModel(QObject* parent = nullptr);
    ~TShellTreeModel() override;

    // Replaces every node by the root node for the folder, its children not read yet.
    void SetRoot(const QString& caption, const std::string& path, const QIcon& icon,
                 std::vector<TPlace> places);
    QModelIndex RootIndex() const;
    // The folder of a node ("" for none).
    std::string FolderPath(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    // Reads the node's folders with the wait pointer shown; a node that turns out to have
    // none loses its expand button.
    void fetchMore(const QModelIndex& parent) override;

  private:
    struct TNode;
    TNode* NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOf(const TNode* node) const;

    std::unique_ptr<TNode> invisibleRoot_;
    std::vector<TPlace> rootPlaces_;
    QIcon folderIcon_;
};

}  // namespace velmora::ui
