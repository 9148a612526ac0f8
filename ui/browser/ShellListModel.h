// The entries of the file list. The model is virtual: it keeps the entries and answers for a
// row only when the view draws it; an entry's detail texts are read once, all together, on
// its first drawing, and kept with the entry.
#pragma once

#include <QAbstractTableModel>
#include <optional>
#include <string>
#include <vector>

#include "EntryDetails.h"
#include "ShellIcons.h"
#include "ShellItem.h"

namespace velmora::ui {

class TShellListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum TColumn { ColName, ColSize, ColType, ColModified, ColCount };

    struct TColumnLook {
        const char* caption;
        Qt::Alignment alignment;
        int widthInChars;  // times the width of "X" in the list's font
    };
    static const TColumnLook& Column(int column);

    explicit TShellListModel(QObject* parent = nullptr);

    // Replaces every entry; the entries come filtered and sorted. renamable: whether the
    // folder lets its entries be renamed.
    void SetEntries(std::vector<TShellItem> entries, bool renamable);
    int EntryCount() const { return static_cast<int>(entries_.size()); }
    const TShellItem& Entry(int row) const { return entries_[static_cast<size_t>(row)].item; }
    // After a rename on disk: the entry takes the new name and path; its details are read
    // again when next drawn.
    void SetEntryName(int row, const QString& name, const std::string& path);
    bool Renamable() const { return renamable_; }
    // How many entries have had their details read (they are read only when drawn).
    int DetailsRead() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    struct TEntry {
        TShellItem item;
        std::optional<TEntryDetails> details;
    };
    const TEntryDetails& Details(int row) const;

    mutable std::vector<TEntry> entries_;
    mutable TEntryIcons icons_;
    bool renamable_ = false;
};

}  // namespace velmora::ui
