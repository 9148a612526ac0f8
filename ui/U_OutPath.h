// The output-directory dialog: shows the saved output directory, lets the user browse for
// another and saves it on "确定".
#pragma once

#include <QPointer>
#include <memory>

#include "VelmoraDialog.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora::ui {

class TDirectoryBox;

class TF_OutPath : public TVelmoraDialog {
    Q_OBJECT
  public:
    TF_OutPath();
    ~TF_OutPath() override;

    QFrame* Panel1;
    QLabel* Label2;
    QLabel* Label1;
    QLineEdit* Edi_outpath;
    QPushButton* Button3;
    QFrame* Bevel1;
    QPushButton* Button1;
    QPushButton* Button2;

  protected:
    void FormClose() override;

  private:
    void FormCreate();
    void Button3Click();
    void Button1Click();
    void Button2Click();

    // The output directory being edited, shown in Edi_outpath.
    std::unique_ptr<TDirectoryBox> outPath_;
};

// The dialog while it exists.
extern QPointer<TF_OutPath> F_OutPath;

}  // namespace velmora::ui
