#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace kestrel::stillbox {

// The desktop shell's file operations, with the shell's own confirmation and
// progress. Paths are absolute.
class IShellFileOps {
 public:
  virtual ~IShellFileOps() = default;

  // Asks the shell's confirmation for all paths at once, then removes them for
  // good (no wastebasket) while a progress display titled progressTitle is up.
  // Returns true when the user neither declined nor cancelled; files that could
  // not be removed are not reported, and no error is shown.
  virtual bool DeleteFiles(QWidget* owner, const QStringList& paths, const QString& progressTitle) = 0;

  // Copies source onto destination without asking, replacing it whole or not
  // at all. Copying a file onto itself changes nothing and succeeds. True when
  // destination now holds source's bytes.
  virtual bool CopyFile(QWidget* owner, const QString& source, const QString& destination,
                        const QString& progressTitle) = 0;
};

}  // namespace kestrel::stillbox
