// What the program's dialogs have in common: a fixed client size in the "宋体" 12-pixel font
// on the button-face colour, centred on the desktop, freed when closed, and no button
// answering Esc.
#pragma once

#include <QDialog>

namespace velmora::ui {

class TVelmoraDialog : public QDialog {
    Q_OBJECT
  public:
    enum class TCloseBox { Shown, Hidden };

    TVelmoraDialog(const QString& caption, QSize clientSize, TCloseBox closeBox);

  protected:
    // Runs on every way of closing, before the dialog is freed.
    virtual void FormClose() = 0;

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace velmora::ui
