#include "about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "dialog_template.h"
#include "dialog_units.h"
#include "key_filter.h"
#include "picture_resources.h"

namespace kestrel {

namespace {

QLabel* PictureLabel(QWidget* parent, const std::optional<IconResource>& picture) {
  auto* label = new QLabel(parent);
  label->setAlignment(Qt::AlignCenter);
  if (picture) label->setPixmap(picture->icon.pixmap(picture->size, parent->devicePixelRatioF()));
  return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
  MarkAsOwnDialog(this);
  const DialogTemplate& layout = AboutBoxTemplate();
  setFont(CDialogUnits::DialogFont());
  setWindowTitle(QString::fromLatin1(layout.title));
  const CDialogUnits units(font());
  for (const DialogControl& control : layout.controls) {
    const QRect rect = units.ToPixels(control.x, control.y, control.width, control.height);
    QWidget* widget = nullptr;
    switch (control.kind) {
      case DialogControlKind::Bitmap:
        widget = PictureLabel(this, LoadBitmapResource(control.resource));
        break;
      case DialogControlKind::Icon:
        widget = PictureLabel(this, LoadIconResource(control.resource));
        break;
      case DialogControlKind::CentredText: {
        auto* label = new QLabel(QString::fromLatin1(control.text), this);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        widget = label;
        break;
      }
      case DialogControlKind::PushButton: {
        auto* button = new QPushButton(QString::fromLatin1(control.text), this);
        button->setDefault(true);
        connect(button, &QPushButton::clicked, this, &QDialog::accept);
        widget = button;
        break;
      }
      case DialogControlKind::ImageButton:
      case DialogControlKind::SunkenFrame:
        break;
    }
    if (widget) widget->setGeometry(rect);
  }
  setFixedSize(units.X(layout.width), units.Y(layout.height));
}

}  // namespace kestrel
