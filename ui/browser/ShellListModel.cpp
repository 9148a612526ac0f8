#include "ShellListModel.h"

#include <algorithm>

namespace velmora::ui {

namespace {

const TShellListModel::TColumnLook kColumns[TShellListModel::ColCount] = {
    {"Name", Qt::AlignLeft | Qt::AlignVCenter, 25},
    {"Size", Qt::AlignRight | Qt::AlignVCenter, 10},
    {"Type", Qt::AlignLeft | Qt::AlignVCenter, 10},
    {"Modified", Qt::AlignLeft | Qt::AlignVCenter, 14},
};

}  // namespace

const TShellListModel::TColumnLook& TShellListModel::Column(int column) {
    return kColumns[column];
}

TShellListModel::TShellListModel(QObject* parent) : QAbstractTableModel(parent) {}

void TShellListModel::SetEntries(std::vector<TShellItem> entries, bool renamable) {
    beginResetModel();
    entries_.clear();
    entries_.reserve(entries.size());
    for (TShellItem& item : entries) {
        entries_.push_back(TEntry{std::move(item), std::nullopt});
    }
    renamable_ = renamable;
    endResetModel();
}

void TShellListModel::SetEntryName(int row, const QString& name, const std::string& path) {
    TEntry& entry = entries_[static_cast<size_t>(row)];
    entry.item.displayName = name;
    entry.item.path = path;
    entry.details.reset();
    emit dataChanged(index(row, 0), index(row, ColCount - 1));
}

int TShellListModel::DetailsRead() const {
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(),
                                          [](const TEntry& e) { return e.details.has_value(); }));
}

int TShellListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : EntryCount();
}

int TShellListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColCount;
}

const TEntryDetails& TShellListModel::Details(int row) const {
    TEntry& entry = entries_[static_cast<size_t>(row)];
    if (!entry.details) {
        entry.details = ReadEntryDetails(entry.item);
    }
    return *entry.details;
}

QVariant TShellListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const TEntry& entry = entries_[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            switch (index.column()) {
                case ColName:
                    return entry.item.displayName;
                case ColSize:
                    return Details(index.row()).size;
                case ColType:
                    return Details(index.row()).type;
                default:
                    return Details(index.row()).modified;
            }
        case Qt::DecorationRole:
            if (index.column() == ColName) {
                return icons_.Icon(entry.item.displayName, entry.item.isFolder);
            }
            return {};
        case Qt::TextAlignmentRole:
            return static_cast<int>(Column(index.column()).alignment);
        default:
            return {};
    }
}

QVariant TShellListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColCount) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromLatin1(Column(section).caption);
        case Qt::TextAlignmentRole:
            return static_cast<int>(Column(section).alignment);
        default:
            return {};
    }
}

Qt::ItemFlags TShellListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == ColName && renamable_) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

}  // namespace velmora::ui
