// Step 1 of the compression dialog: the output directory of this batch, the browse button,
// auto-close and the two buttons that start the batch or leave.
#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace velmora::ui {

class TGroupBox;

// A plain panel of controls; the dialog handles their events.
class TFrm_CompressS1 : public QWidget {
    Q_OBJECT
  public:
    explicit TFrm_CompressS1(QWidget* parent);

    TGroupBox* GroupBox1;
    QLineEdit* Edi_outpath;
    QPushButton* Button3;
    QCheckBox* Chb_AutoClose;
    QPushButton* Button1;
    QPushButton* Button2;
};

}  // namespace velmora::ui
