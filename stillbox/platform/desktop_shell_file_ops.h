#pragma once

#include "shell_file_ops.h"

namespace kestrel::stillbox {

// The shell's file operations on a Linux desktop: a confirmation box in the
// shell's words, a progress dialog with the given title, permanent removal,
// and copies that replace the destination by renaming a finished temporary
// file over it.
class CDesktopShellFileOps : public IShellFileOps {
 public:
  bool DeleteFiles(QWidget* owner, const QStringList& paths, const QString& progressTitle) override;
  bool CopyFile(QWidget* owner, const QString& source, const QString& destination,
                const QString& progressTitle) override;

  // The confirmation's caption and text for paths.
  static QString ConfirmationCaption(const QStringList& paths);
  static QString ConfirmationText(const QStringList& paths);

  // The progress dialog appears only when an operation runs longer than this.
  static constexpr int kProgressDelayMs = 500;
};

}  // namespace kestrel::stillbox
