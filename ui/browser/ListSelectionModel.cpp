#include "ListSelectionModel.h"

#include <set>

namespace velmora::ui {

void TListSelectionModel::select(const QItemSelection& selection, SelectionFlags command) {
    if ((command & Clear) && DropsSelectedRows(selection, command)) {
        QItemSelectionModel::select(QItemSelection(), Clear);
        command &= ~SelectionFlags(Clear);
    }
    QItemSelectionModel::select(selection, command);
}

bool TListSelectionModel::DropsSelectedRows(const QItemSelection& selection,
                                            SelectionFlags command) const {
    std::set<int> kept;
    if (command & Select) {
        for (const QItemSelectionRange& range : selection) {
            for (int row = range.top(); row <= range.bottom(); ++row) {
                kept.insert(row);
            }
        }
    }
    for (const QItemSelectionRange& range : this->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            if (!kept.contains(row)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace velmora::ui
