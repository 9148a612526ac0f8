// The file list's selection, changed the way the list control reports it: a change that both
// drops selected rows and selects others first clears the old selection (one change), then
// selects the new rows (a second change), so that each report sees the state it is about.
#pragma once

#include <QItemSelectionModel>

namespace velmora::ui {

class TListSelectionModel : public QItemSelectionModel {
  public:
    explicit TListSelectionModel(QAbstractItemModel* model, QObject* parent = nullptr)
        : QItemSelectionModel(model, parent) {}

    using QItemSelectionModel::select;
    void select(const QItemSelection& selection, SelectionFlags command) override;

  private:
    // Whether the command leaves a row unselected that is selected now.
    bool DropsSelectedRows(const QItemSelection& selection, SelectionFlags command) const;
};

}  // namespace velmora::ui
