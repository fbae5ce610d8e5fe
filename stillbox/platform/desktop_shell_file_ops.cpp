#include "desktop_shell_file_ops.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSaveFile>

namespace {

constexpr qint64 kCopyChunk = 64 * 1024;

}  // namespace

QString CDesktopShellFileOps::ConfirmationCaption(const QStringList& paths) {
  return paths.size() == 1 ? QStringLiteral("Delete File") : QStringLiteral("Delete Multiple Items");
}

QString CDesktopShellFileOps::ConfirmationText(const QStringList& paths) {
  if (paths.size() == 1) {
    return QStringLiteral("Are you sure you want to permanently delete '%1'?").arg(QFileInfo(paths.front()).fileName());
  }
  return QStringLiteral("Are you sure you want to permanently delete these %1 items?").arg(paths.size());
}

bool CDesktopShellFileOps::DeleteFiles(QWidget* owner, const QStringList& paths, const QString& progressTitle) {
  if (paths.isEmpty()) return true;

  QMessageBox confirmation(QMessageBox::Warning, ConfirmationCaption(paths), ConfirmationText(paths),
                           QMessageBox::Yes | QMessageBox::No, owner);
  confirmation.setDefaultButton(QMessageBox::Yes);
  // The caller shows the wait cursor; the question wants the ordinary one.
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int answer = confirmation.exec();
  QApplication::restoreOverrideCursor();
  if (answer != QMessageBox::Yes) return false;

  QProgressDialog progress(owner);
  progress.setWindowTitle(progressTitle);
  progress.setWindowModality(Qt::WindowModal);
  progress.setRange(0, static_cast<int>(paths.size()));
  progress.setMinimumDuration(kProgressDelayMs);
  progress.setValue(0);
  for (int i = 0; i < paths.size(); ++i) {
    if (progress.wasCanceled()) return false;
    // A file that cannot be removed is passed over silently; the caller looks
    // at the disk to learn what is gone.
    QFile::remove(paths[i]);
    progress.setValue(i + 1);
  }
  return !progress.wasCanceled();
}

bool CDesktopShellFileOps::CopyFile(QWidget* owner, const QString& source, const QString& destination,
                                    const QString& progressTitle) {
  const QFileInfo sourceInfo(source);
  const QFileInfo destinationInfo(destination);
  if (destinationInfo.exists() && sourceInfo.exists() &&
      sourceInfo.canonicalFilePath() == destinationInfo.canonicalFilePath()) {
    return true;  // onto itself: writing would first truncate the source
  }

  QFile in(source);
  if (!in.open(QIODevice::ReadOnly)) return false;
  // QSaveFile writes a temporary file beside the destination and renames it
  // over the destination on commit, so a failed copy leaves the old file.
  QSaveFile out(destination);
  if (!out.open(QIODevice::WriteOnly)) return false;

  QProgressDialog progress(owner);
  progress.setWindowTitle(progressTitle);
  progress.setWindowModality(Qt::WindowModal);
  progress.setCancelButton(nullptr);
  const qint64 total = std::max<qint64>(in.size(), 1);
  progress.setRange(0, 1000);
  progress.setMinimumDuration(kProgressDelayMs);
  progress.setValue(0);

  qint64 copied = 0;
  for (;;) {
    const QByteArray chunk = in.read(kCopyChunk);
    if (chunk.isEmpty()) break;
    if (out.write(chunk) != chunk.size()) {
      out.cancelWriting();
      return false;
    }
    copied += chunk.size();
    progress.setValue(static_cast<int>(copied * 1000 / total));
  }
  if (in.error() != QFileDevice::NoError || copied != in.size()) {
    out.cancelWriting();
    return false;
  }
  return out.commit();
}
