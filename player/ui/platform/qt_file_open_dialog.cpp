#include "qt_file_open_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace kestrel {

std::optional<QString> CQtFileOpenDialog::Ask(QWidget* owner, const FileOpenRequest& request) {
  QFileDialog dialog(owner, request.title);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // An existing file only, which also means an existing folder.
  dialog.setFileMode(request.fileMustExist || request.pathMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setNameFilter(request.filter);
  // Without QDir::CaseSensitive the filter matches ".QRV" too.
  dialog.setFilter(QDir::AllEntries | QDir::AllDirs | QDir::NoDotAndDotDot);
  // Linux file dialogs have no read-only box; a message is only ever read.
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QDir::cleanPath(QFileInfo(dialog.selectedFiles().first()).absoluteFilePath());
}

}  // namespace kestrel
