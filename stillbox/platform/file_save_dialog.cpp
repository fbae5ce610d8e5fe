#include "file_save_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace kestrel::stillbox {

namespace {

// The save dialog that insists on an existing folder, as the desktop's own
// does: a path into a folder that is not there is answered with a message
// naming it, and the choice is the user's again.
class CPathMustExistDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;

  void accept() override {
    const QStringList chosen = selectedFiles();
    if (!chosen.isEmpty()) {
      const QFileInfo file(chosen.front());
      if (!QFileInfo(file.absolutePath()).isDir()) {
        QMessageBox::warning(this, windowTitle(),
                             CFileSaveDialog::MissingFolderText(QDir::toNativeSeparators(file.absoluteFilePath())));
        return;
      }
    }
    QFileDialog::accept();
  }
};

}  // namespace

CFileSaveDialog::CFileSaveDialog(QString startDirectory) : startDirectory_(std::move(startDirectory)) {}

QString CFileSaveDialog::MissingFolderText(const QString& path) {
  return QStringLiteral("%1\nThe folder does not exist.\nCheck the path and try again.").arg(path);
}

std::optional<QString> CFileSaveDialog::AskSavePath(QWidget* owner, const QString& title, const QString& filter,
                                                    const QString& initialName) {
  CPathMustExistDialog dialog(owner, title, startDirectory_, filter);
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

}  // namespace kestrel::stillbox
