#pragma once

#include "platform/shell_file_ops.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace kestrel::stillbox {

// Shell double: the user's answer is set by the test; accepted deletions
// really remove the files, except those the test marks as undeletable.
class FakeShellFileOps : public IShellFileOps {
 public:
  enum class Answer { Accept, Decline, CancelAfterFirst };

  struct DeleteCall {
    QStringList paths;
    QString title;
  };
  struct CopyCall {
    QString source;
    QString destination;
    QString title;
  };

  bool DeleteFiles(QWidget* owner, const QStringList& paths, const QString& progressTitle) override;
  bool CopyFile(QWidget* owner, const QString& source, const QString& destination,
                const QString& progressTitle) override;

  // Runs while the "confirmation" is up, as a real shell's event loop would
  // let other events in.
  std::function<void()> duringConfirmation;
  Answer answer = Answer::Accept;
  QSet<QString> undeletable;
  bool performCopies = true;
  std::vector<DeleteCall> deletes;
  std::vector<CopyCall> copies;
};

}  // namespace kestrel::stillbox
