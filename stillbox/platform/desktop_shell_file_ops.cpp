#include "desktop_shell_file_ops.h"

#include "file_copy.h"
#include "file_names.h"
#include "native_files.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>

#include <sys/stat.h>

namespace kestrel::stillbox {

namespace {

constexpr int kProgressSteps = 1000;
constexpr int kProgressTickMs = 50;

// A progress display in the shell's simple manner: its title, a bar and
// Cancel, wide enough that the window manager shows the whole title.
class CShellProgress : public QProgressDialog {
 public:
  CShellProgress(QWidget* owner, const QString& title) : QProgressDialog(owner) {
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    setMinimumDuration(CDesktopShellFileOps::kProgressDelayMs);
    // The title bar's own font where the desktop names one, bold as most
    // window managers draw it; room besides for the icon and the buttons.
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    const QFontMetrics metrics(titleFont);
    setMinimumWidth(metrics.horizontalAdvance(title) + 12 * metrics.height());
  }
};

bool SameFile(const QString& a, const QString& b) {
  struct stat first {};
  struct stat second {};
  return ::stat(EncodeFileName(a).constData(), &first) == 0 && ::stat(EncodeFileName(b).constData(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

QString CDesktopShellFileOps::ConfirmationCaption(const QStringList& paths) {
  return paths.size() == 1 ? QStringLiteral("Delete File") : QStringLiteral("Delete Multiple Items");
}

QString CDesktopShellFileOps::ConfirmationText(const QStringList& paths) {
  if (paths.size() == 1) {
    return QStringLiteral("Are you sure you want to permanently delete '%1'?")
        .arg(DisplayFileName(QFileInfo(paths.front()).fileName()));
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

  CShellProgress progress(owner, progressTitle);
  progress.setRange(0, static_cast<int>(paths.size()));
  progress.setValue(0);
  for (int i = 0; i < paths.size(); ++i) {
    if (progress.wasCanceled()) return false;
    // A file that cannot be removed is passed over silently; the caller looks
    // at the disk to learn what is gone.
    RemoveFile(paths[i]);
    progress.setValue(i + 1);
  }
  return !progress.wasCanceled();
}

bool CDesktopShellFileOps::CopyFile(QWidget* owner, const QString& source, const QString& destination,
                                    const QString& progressTitle) {
  // Onto itself: writing would first empty the source.
  if (SameFile(source, destination)) return true;

  QEventLoop loop;
  CFileCopy copy;
  if (!copy.Start(source, destination, [&loop] { QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection); })) {
    return false;
  }

  CShellProgress progress(owner, progressTitle);
  progress.setRange(0, copy.BytesTotal() > 0 ? kProgressSteps : 0);
  progress.setValue(0);
  QObject::connect(&progress, &QProgressDialog::canceled, [&copy] { copy.Cancel(); });
  QTimer tick;
  bool shown = false;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    if (copy.BytesTotal() > 0) {
      progress.setValue(static_cast<int>(copy.BytesCopied() * kProgressSteps / copy.BytesTotal()));
    }
    // Once the dialog is up it takes the clicks and keys; until then they
    // wait, as they would for a program busy copying.
    if (progress.isVisible() != shown) loop.quit();
  });
  tick.start(kProgressTickMs);
  while (copy.Running()) {
    shown = progress.isVisible();
    loop.exec(shown ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
  }
  tick.stop();
  return copy.Finish() == CFileCopy::Outcome::Copied;
}

}  // namespace kestrel::stillbox
