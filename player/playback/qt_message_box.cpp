#include "qt_message_box.h"

#include <QMessageBox>

namespace kestrel {

void CQtMessageBox::ShowStop(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox::critical(parent, caption, text);
}

}  // namespace kestrel
