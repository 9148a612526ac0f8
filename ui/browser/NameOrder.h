// The order in which the file manager shows names: locale-aware, letter case ignored, digit
// runs compared by their value ("img2" before "img10").
#pragma once

#include <QCollator>
#include <vector>

#include "ShellItem.h"

namespace velmora::ui {

class TNameOrder {
  public:
    TNameOrder();
    // Negative, zero or positive. Names equal but for letter case are ordered by their
    // characters so that every listing of the same folder comes out the same.
    int Compare(const QString& a, const QString& b) const;
    // Keys that compare like Compare without the tie rule; made once per name when sorting.
    QCollatorSortKey SortKey(const QString& name) const { return collator_.sortKey(name); }

  private:
    QCollator collator_;
};

// Folders first when foldersFirst, then by name order.
void SortShellItems(std::vector<TShellItem>& items, bool foldersFirst);

}  // namespace velmora::ui
