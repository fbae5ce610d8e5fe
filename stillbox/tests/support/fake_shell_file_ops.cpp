#include "fake_shell_file_ops.h"

#include <QFile>

namespace kestrel::stillbox {

bool FakeShellFileOps::DeleteFiles(QWidget*, const QStringList& paths, const QString& progressTitle) {
  deletes.push_back({paths, progressTitle});
  if (duringConfirmation) duringConfirmation();
  if (answer == Answer::Decline) return false;
  for (const QString& path : paths) {
    if (!undeletable.contains(path)) QFile::remove(path);
    if (answer == Answer::CancelAfterFirst) return false;
  }
  return true;
}

bool FakeShellFileOps::CopyFile(QWidget*, const QString& source, const QString& destination,
                                const QString& progressTitle) {
  copies.push_back({source, destination, progressTitle});
  if (!performCopies) return false;
  if (QFile::exists(destination)) QFile::remove(destination);
  return QFile::copy(source, destination);
}

}  // namespace kestrel::stillbox
