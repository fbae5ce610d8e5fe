#include "qt_file_save_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace kestrel {

std::optional<QString> CQtFileSaveDialog::Ask(QWidget* owner, const FileSaveRequest& request) {
  QFileDialog dialog(owner, request.title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(request.filter);
  // Without QDir::CaseSensitive the filter matches ".BMP" too.
  dialog.setFilter(QDir::AllEntries | QDir::AllDirs | QDir::NoDotAndDotDot);
  dialog.setDefaultSuffix(request.defaultSuffix);
  const QFileInfo proposed(request.proposedPath);
  dialog.setDirectory(proposed.absolutePath());
  dialog.selectFile(proposed.fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QDir::cleanPath(QFileInfo(dialog.selectedFiles().first()).absoluteFilePath());
}

}  // namespace kestrel
