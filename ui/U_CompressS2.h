// Step 2 of the compression dialog: the progress of the running batch, cancel or close, and
// opening the output directory once the batch has finished.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace velmora {
class TRzProgressBar;
}

namespace velmora::ui {

// A plain panel of controls; the dialog handles their events.
class TFrm_CompressS2 : public QWidget {
    Q_OBJECT
  public:
    explicit TFrm_CompressS2(QWidget* parent);

    QLabel* Label1;
    TRzProgressBar* RzProgressBar1;
    QPushButton* Btn_Opendir;
    QPushButton* Btn_Cancel;
};

}  // namespace velmora::ui
