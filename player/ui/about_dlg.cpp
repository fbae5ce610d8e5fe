#include "about_dlg.h"

#include "dialog_template.h"
#include "picture_resources.h"
#include "player_dialogs.h"

namespace kestrel {

namespace {

QPixmap AboutPicture(const DialogControl& control, qreal devicePixelRatio) {
  const std::optional<IconResource> picture = control.kind == DialogControlKind::Bitmap
                                                  ? LoadBitmapResource(control.picture)
                                                  : LoadIconResource(control.picture);
  return picture ? picture->icon.pixmap(picture->size, devicePixelRatio) : QPixmap();
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : CAboutBox(AboutBoxTemplate(), &AboutPicture, PicturePlacement::Centred, parent) {}

}  // namespace kestrel
