// A message box that records what it would have shown.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "message_box.h"

namespace kestrel::testing {

class CRecordingMessageBox final : public IMessageBox {
 public:
  void ShowStop(QWidget* parent, const QString& caption, const QString& text) override {
    parents.append(parent);
    captions.append(caption);
    texts.append(text);
  }
  QList<QWidget*> parents;
  QStringList captions;
  QStringList texts;
};

}  // namespace kestrel::testing
