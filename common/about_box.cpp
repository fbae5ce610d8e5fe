#include "about_box.h"

#include <QLabel>
#include <QPushButton>

#include "dialog_template.h"
#include "dialog_units.h"
#include "fixed_window.h"
#include "key_filter.h"

namespace kestrel {

CAboutBox::CAboutBox(const DialogTemplate& layout, const PictureSource& pictures, PicturePlacement placement,
                     QWidget* parent)
    : QDialog(parent, FixedWindowFlags(FixedWindowKind::Dialog)) {
  MarkAsOwnDialog(this);
  setFont(CDialogUnits::DialogFont());
  setWindowTitle(QString::fromUtf8(layout.title));
  const CDialogUnits units(font());
  for (const DialogControl& control : layout.controls) {
    const QRect rect = units.ToPixels(control.rect);
    switch (control.kind) {
      case DialogControlKind::Bitmap:
      case DialogControlKind::Icon: {
        auto* label = new QLabel(this);
        const QPixmap picture = pictures(control, devicePixelRatioF());
        label->setPixmap(picture);
        if (placement == PicturePlacement::Centred) {
          label->setAlignment(Qt::AlignCenter);
          label->setGeometry(rect);
        } else {
          label->setGeometry(QRect(rect.topLeft(), picture.deviceIndependentSize().toSize()));
        }
        break;
      }
      case DialogControlKind::CentredText: {
        auto* label = new QLabel(this);
        label->setTextFormat(Qt::PlainText);  // no markup in the template's texts
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setText(QString::fromUtf8(control.text));
        label->setGeometry(rect);
        break;
      }
      case DialogControlKind::PushButton: {
        auto* button = new QPushButton(QString::fromUtf8(control.text), this);
        button->setDefault(true);
        button->setGeometry(rect);
        connect(button, &QPushButton::clicked, this, &QDialog::accept);
        break;
      }
      default:  // an About box holds no other kind
        break;
    }
  }
  FixToTemplateSize(*this, units, layout);
}

}  // namespace kestrel
