// The frame of both programs' About boxes: a fixed dialog laid out from a
// template of pictures, centred texts and a default push button. The button
// and the close box end it; it has no behaviour of its own.
#pragma once

#include <QDialog>
#include <QPixmap>

#include <functional>

namespace kestrel {

struct DialogControl;
struct DialogTemplate;

class CAboutBox : public QDialog {
  Q_OBJECT
 public:
  // The picture of a Bitmap or Icon control, drawn for `devicePixelRatio`;
  // a null pixmap leaves the place empty.
  using PictureSource = std::function<QPixmap(const DialogControl& control, qreal devicePixelRatio)>;
  enum class PicturePlacement {
    OwnSizeAtTopLeft,  // the control takes the picture's size
    Centred,           // the picture is centred in the control's rectangle
  };

  CAboutBox(const DialogTemplate& layout, const PictureSource& pictures, PicturePlacement placement,
            QWidget* parent = nullptr);
};

}  // namespace kestrel
