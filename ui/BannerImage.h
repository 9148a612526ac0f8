// A picture stretched over the whole control, proportions not kept: the About dialog's banner.
#pragma once

#include <QWidget>

#include "core/jpeg_image.h"

namespace velmora::ui {

class TBannerImage : public QWidget {
    Q_OBJECT
  public:
    explicit TBannerImage(QWidget* parent = nullptr);

    // Loads a JPEG kept in the program's resources.
    void LoadResource(const QString& name);
    TJPEGImage& Picture() { return picture_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TJPEGImage picture_;
};

}  // namespace velmora::ui
