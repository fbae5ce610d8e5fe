#pragma once

#include "message_box.h"

namespace kestrel {

class CQtMessageBox final : public IMessageBox {
 public:
  void ShowStop(QWidget* parent, const QString& caption, const QString& text) override;
};

}  // namespace kestrel
