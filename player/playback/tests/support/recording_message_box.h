// A message box that records what it would have shown.
#pragma once

#include <QString>
#include <QStringList>

#include "message_box.h"

namespace kestrel::testing {

class CRecordingMessageBox final : public IMessageBox {
 public:
  void ShowStop(QWidget*, const QString& caption, const QString& text) override {
    captions.append(caption);
    texts.append(text);
  }
  QStringList captions;
  QStringList texts;
};

}  // namespace kestrel::testing
