#pragma once

#include "platform/save_dialog.h"

#include <QString>

#include <optional>

namespace kestrel::stillbox {

// Save dialog double: answers with the path the test chose, or cancels.
class FakeSaveDialog : public ISaveDialog {
 public:
  std::optional<QString> AskSavePath(QWidget*, const QString& title, const QString& filter,
                                     const QString& initialName) override {
    ++asked;
    lastTitle = title;
    lastFilter = filter;
    lastInitialName = initialName;
    return answer;
  }

  std::optional<QString> answer;
  int asked = 0;
  QString lastTitle;
  QString lastFilter;
  QString lastInitialName;
};

}  // namespace kestrel::stillbox
