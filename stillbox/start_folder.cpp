#include "start_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <cerrno>
#include <cstring>

namespace kestrel::stillbox {

namespace {

constexpr char kFramesDirectoryName[] = "Frames";

StartFolder Refused(int exitStatus, const QString& error) { return {QString(), error, exitStatus}; }

}  // namespace

StartFolder ChooseStartFolder(const QStringList& arguments, const QString& workingDirectory) {
  QStringList folders;
  bool optionsEnded = false;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (!optionsEnded && argument == QLatin1String("--")) {
      optionsEnded = true;
    } else if (!optionsEnded && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
      return Refused(2, QStringLiteral("unknown option '%1'\nTry 'stillbox --help'.").arg(argument));
    } else {
      folders.append(argument);
    }
  }
  if (folders.size() > 1) return Refused(2, QStringLiteral("one folder at most\nTry 'stillbox --help'."));
  if (folders.isEmpty()) return {QDir(workingDirectory).absolutePath(), QString(), 0};

  const QString named = QDir(workingDirectory).absoluteFilePath(folders.first());
  struct stat status {};
  if (::stat(QFile::encodeName(named).constData(), &status) != 0) {
    return Refused(1, QStringLiteral("%1: %2").arg(folders.first(), QString::fromLocal8Bit(std::strerror(errno))));
  }
  if (!S_ISDIR(status.st_mode)) {
    return Refused(1, QStringLiteral("%1: %2").arg(folders.first(), QString::fromLocal8Bit(std::strerror(ENOTDIR))));
  }
  // Through any links to the folder itself, so that "the Frames folder" is
  // recognised by its real name.
  const QFileInfo folder(QFileInfo(named).canonicalFilePath());
  if (QFileInfo(folder.filePath() + QLatin1Char('/') + QLatin1String(kFramesDirectoryName)).isDir()) {
    return {folder.filePath(), QString(), 0};
  }
  if (folder.fileName() == QLatin1String(kFramesDirectoryName)) return {folder.absolutePath(), QString(), 0};
  return {folder.filePath(), QString(), 0};
}

}  // namespace kestrel::stillbox
