// The About dialog: banner, product line, version, rights holder, legal notice and the home
// page as a link.
#pragma once

#include <QPointer>

#include "VelmoraDialog.h"

class QFrame;
class QLabel;
class QPlainTextEdit;

namespace velmora::ui {

class TBannerImage;

inline const QString kHomePage = QStringLiteral("https://corvane.example/velmora");

class TF_About : public TVelmoraDialog {
    Q_OBJECT
  public:
    TF_About();

    QFrame* Bevel1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QFrame* Panel1;
    TBannerImage* Image1;
    QFrame* Panel2;
    QPlainTextEdit* memo;
    QLabel* Label8;
    QLabel* Label9;

  protected:
    void FormClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Label9MouseMove();
    void Label9MouseLeave();
    void Label9Click();

    // A left press on the link that a release over it turns into a click.
    bool linkPressed_ = false;
};

extern QPointer<TF_About> F_About;

}  // namespace velmora::ui
