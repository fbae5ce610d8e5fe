#include "about_dlg.h"

#include "dialog_units.h"
#include "key_filter.h"
#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/resources.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

using kestrel::CDialogUnits;

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  res::EnsureResources();
  kestrel::MarkAsOwnDialog(this);
  const res::DialogTemplate& tmpl = *res::FindDialogTemplate(res::IDD_ABOUTBOX);
  setWindowTitle(QString::fromUtf8(tmpl.caption));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFont(CDialogUnits::DialogFont());
  const CDialogUnits units(font());
  setFixedSize(units.ToPixels(QSize(tmpl.width, tmpl.height)));

  for (const res::ControlTemplate& control : tmpl.controls) {
    const QRect rect = units.ToPixels(control.rect);
    const QString text = QString::fromUtf8(control.text);
    switch (control.kind) {
      case res::ControlKind::Picture:
      case res::ControlKind::Icon: {
        // A picture static shows its picture at the picture's own size.
        auto* label = new QLabel(this);
        const QPixmap picture(text);
        label->setPixmap(picture);
        label->setGeometry(QRect(rect.topLeft(), picture.size()));
        break;
      }
      case res::ControlKind::Text: {
        auto* label = new QLabel(this);
        label->setTextFormat(Qt::PlainText);  // no prefix or markup processing
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setText(text);
        label->setGeometry(rect);
        break;
      }
      case res::ControlKind::PushButton: {
        auto* button = new QPushButton(text, this);
        button->setDefault(true);
        button->setGeometry(rect);
        connect(button, &QPushButton::clicked, this, &QDialog::accept);
        break;
      }
      default:
        break;
    }
  }
}
