#pragma once

#include "save_dialog.h"

namespace kestrel::stillbox {

// The save dialog of the desktop: Qt's file dialog in save mode, which asks
// before overwriting, matches the filter's extension in any case and accepts
// only a path into a folder that exists.
class CFileSaveDialog : public ISaveDialog {
 public:
  // startDirectory: the folder the dialog opens in.
  explicit CFileSaveDialog(QString startDirectory);

  std::optional<QString> AskSavePath(QWidget* owner, const QString& title, const QString& filter,
                                     const QString& initialName) override;

  // What the dialog says to a path into a missing folder.
  static QString MissingFolderText(const QString& path);

 private:
  QString startDirectory_;
};

}  // namespace kestrel::stillbox
