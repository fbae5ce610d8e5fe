#include "detached_program_launcher.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace kestrel {

bool CDetachedProgramLauncher::Start(const QString& program) { return QProcess::startDetached(program, QStringList()); }

}  // namespace kestrel
