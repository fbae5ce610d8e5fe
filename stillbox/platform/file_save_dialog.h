#pragma once

#include "save_dialog.h"

// The save dialog of the desktop: Qt's file dialog in save mode, which asks
// before overwriting and matches the filter's extension in any case.
class CFileSaveDialog : public ISaveDialog {
 public:
  // startDirectory: the folder the dialog opens in.
  explicit CFileSaveDialog(QString startDirectory);

  std::optional<QString> AskSavePath(QWidget* owner, const QString& title, const QString& filter,
                                     const QString& initialName) override;

 private:
  QString m_startDirectory;
};
