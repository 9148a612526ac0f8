// TcxImage: the control that shows one picture inside a one-pixel frame, at its own size or
// fitted to the control, optionally centred, never smoothed.
#pragma once

#include <QFlags>
#include <QWidget>
#include <functional>

#include "widgets/picture.h"

namespace velmora {

enum class TAlign { alNone, alClient };

enum class TcxImageMenuItem {
    Cut = 0x01,
    Copy = 0x02,
    Paste = 0x04,
    Delete = 0x08,
    Load = 0x10,
    Save = 0x20,
    Custom = 0x40,
};
using TcxImageMenuItems = QFlags<TcxImageMenuItem>;

// The view's display settings. Changing one repaints the view.
class TcxImageProperties {
  public:
    struct TPopupMenuLayout {
        // Items of the view's own context menu; empty: the view offers no context menu.
        TcxImageMenuItems MenuItems = TcxImageMenuItems(0x3F);  // all but Custom
    };

    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool Center() const { return center_; }
    void SetCenter(bool value);
    const TPopupMenuLayout& PopupMenuLayout() const { return popupMenuLayout_; }
    void SetMenuItems(TcxImageMenuItems items);

  private:
    friend class TcxImage;
    explicit TcxImageProperties(std::function<void()> changed) : changed_(std::move(changed)) {}

    bool stretch_ = false;
    bool center_ = true;
    TPopupMenuLayout popupMenuLayout_;
    std::function<void()> changed_;
};

class TcxImage : public QWidget {
    Q_OBJECT

  public:
    explicit TcxImage(QWidget* parent = nullptr);

    TPicture& Picture() { return picture_; }
    const TPicture& Picture() const { return picture_; }
    TcxImageProperties& Properties() { return properties_; }
    const TcxImageProperties& Properties() const { return properties_; }

    // On: the control's size follows every change of the picture, picture plus the frame
    // on every side, whenever it is not docked. Switching it on resizes at once.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);

    // Docking inside the container: alClient makes the container size the view to its
    // whole inside; alNone leaves the view at its own size (auto-sized at once when
    // AutoSize is on).
    TAlign Align() const { return align_; }
    void SetAlign(TAlign value);

    // The area inside the frame, and where the picture is drawn in view coordinates
    // (empty when there is nothing to draw).
    QRect InnerRect() const;
    QRect PictureRect() const;

  signals:
    // The docking changed, or AutoSize resized the view: its container lays it out again.
    // (Qt holds back resize events of hidden widgets, so the container is told directly.)
    void layoutChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void PictureChanged();
    void ApplyAutoSize();
    void UpdateContextMenuPolicy();
    // The pixels to draw, decoding a JPEG picture on first use; a decoding error goes to
    // the paint-error reporter and the pixels decoded so far are drawn.
    const TBitmap* PixelsForDrawing();

    TPicture picture_;
    TcxImageProperties properties_;
    bool autoSize_ = false;
    TAlign align_ = TAlign::alNone;
};

}  // namespace velmora

Q_DECLARE_OPERATORS_FOR_FLAGS(velmora::TcxImageMenuItems)
