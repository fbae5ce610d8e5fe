#include "file_save_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

CFileSaveDialog::CFileSaveDialog(QString startDirectory) : m_startDirectory(std::move(startDirectory)) {}

std::optional<QString> CFileSaveDialog::AskSavePath(QWidget* owner, const QString& title, const QString& filter,
                                                    const QString& initialName) {
  QFileDialog dialog(owner, title, m_startDirectory, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QString());
  // The widget-based dialog never changes the process's working directory.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.selectFile(initialName);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return QFileInfo(chosen.front()).absoluteFilePath();
}
