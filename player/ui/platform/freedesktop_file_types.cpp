#include "freedesktop_file_types.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

#include "message_format.h"
#include "picture_resources.h"
#include "resource_ids.h"
#include "string_table.h"

namespace kestrel {

namespace {

QString UserFolder(const char* variable, const QString& fallback) {
  const QString value = qEnvironmentVariable(variable);
  return value.isEmpty() ? QDir::homePath() + fallback : value;
}

// Written whole or not at all, so that a failure never leaves half a file.
bool WriteFile(const QString& path, const QByteArray& contents) {
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(contents);
  return file.commit();
}

QString XmlEscaped(const QString& text) { return text.toHtmlEscaped(); }

// Runs a cache tool where it is installed; true when it is not, or when it
// succeeded. Its notes about search paths are no concern of the user's.
bool RunQuietly(const QString& program, const QStringList& arguments) {
  const QString path = QStandardPaths::findExecutable(program);
  if (path.isEmpty()) return true;
  QProcess process;
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  process.start(path, arguments);
  if (!process.waitForFinished(10000)) {
    process.kill();
    process.waitForFinished(1000);
    return false;
  }
  return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

}  // namespace

CFreedesktopFileTypes::CFreedesktopFileTypes(QString dataHome, QString configHome)
    : dataHome_(dataHome.isEmpty() ? UserFolder("XDG_DATA_HOME", QStringLiteral("/.local/share")) : dataHome),
      configHome_(configHome.isEmpty() ? UserFolder("XDG_CONFIG_HOME", QStringLiteral("/.config")) : configHome) {}

bool CFreedesktopFileTypes::IsKnown(const QString& extension) {
  // The question the desktop asks: which type has a file with this name?
  const QMimeType type =
      QMimeDatabase().mimeTypeForFile(QStringLiteral("message") + extension, QMimeDatabase::MatchExtension);
  return type.isValid() && !type.isDefault();
}

void CFreedesktopFileTypes::Register(const FileTypeRegistration& registration) {
  // In the order of the association's parts: the type, its description and
  // icon, and the program that opens it.
  WriteMimePackage(registration);
  WriteIcons();
  WriteDesktopEntry(registration);
  SetDefaultHandler();
}

bool CFreedesktopFileTypes::WriteMimePackage(const FileTypeRegistration& registration) {
  const QString glob = QLatin1Char('*') + registration.extension;
  const QString xml =
      QStringLiteral(
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
          "  <mime-type type=\"%1\">\n"
          "    <comment>%2</comment>\n"
          "    <icon name=\"%3\"/>\n"
          "    <glob pattern=\"%4\"/>\n"
          "    <magic priority=\"50\"><match type=\"string\" offset=\"0\" value=\"%5\"/></magic>\n"
          "  </mime-type>\n"
          "</mime-info>\n")
          .arg(QLatin1String(kMimeType), XmlEscaped(registration.description), QLatin1String(kMimeIconName),
               XmlEscaped(glob), QLatin1String(kMessageMagic, static_cast<qsizetype>(kMessageMagicSize)));
  const QString mimeFolder = dataHome_ + QStringLiteral("/mime");
  if (!WriteFile(mimeFolder + QStringLiteral("/packages/kestrel-message.xml"), xml.toUtf8())) return false;
  // Where no cache exists the package alone is read.
  return RunQuietly(QStringLiteral("update-mime-database"), {mimeFolder});
}

void CFreedesktopFileTypes::WriteIcons() {
  const QString hicolor = dataHome_ + QStringLiteral("/icons/hicolor/");
  if (const std::optional<IconResource> icon = LoadIconResource(IDI_APPLICATION_ICON)) {
    for (int size : {16, 32, 48, 64, 128, 256}) {
      const QString folder = hicolor + QStringLiteral("%1x%1/apps/").arg(size);
      QDir().mkpath(folder);
      icon->icon.pixmap(QSize(size, size), 1.0).save(folder + QLatin1String(kIconName) + QStringLiteral(".png"));
    }
  }
  WriteFile(hicolor + QStringLiteral("scalable/apps/%1.svg").arg(QLatin1String(kIconName)),
            LoadDesktopIcon(QLatin1String(kIconName)));
  WriteFile(hicolor + QStringLiteral("scalable/mimetypes/%1.svg").arg(QLatin1String(kMimeIconName)),
            LoadDesktopIcon(QLatin1String(kMimeIconName)));
}

QString CFreedesktopFileTypes::EntryString(const QString& value) {
  // A line break written as itself would end the value and start a line of
  // the path's choosing.
  QString escaped = value;
  escaped.replace(QLatin1String("\\"), QLatin1String("\\\\"));
  escaped.replace(QLatin1String("\n"), QLatin1String("\\n"));
  escaped.replace(QLatin1String("\r"), QLatin1String("\\r"));
  return escaped.replace(QLatin1String("\t"), QLatin1String("\\t"));
}

QString CFreedesktopFileTypes::ExecProgram(const QString& path) {
  static const QString reserved = QStringLiteral(" \t\n\"'\\<>~|&;$*?#()`");
  QString argument = path;
  if (std::any_of(path.begin(), path.end(), [](QChar c) { return reserved.contains(c); })) {
    // Inside the quotes " ` $ and \ take a backslash.
    argument.clear();
    for (const QChar c : path) {
      if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\')) {
        argument += QLatin1Char('\\');
      }
      argument += c;
    }
    argument = QLatin1Char('"') + argument + QLatin1Char('"');
  }
  if (argument.contains(QLatin1Char('%'))) {
    argument = QStringLiteral("env ") + argument.replace(QLatin1String("%"), QLatin1String("%%"));
  }
  return EntryString(argument);
}

bool CFreedesktopFileTypes::WriteDesktopEntry(const FileTypeRegistration& registration) {
  // The same entry as an installed player has, naming this program.
  QString entry;
  entry += QStringLiteral("[Desktop Entry]\n");
  entry += QStringLiteral("Type=Application\n");
  entry += QStringLiteral("Name=%1\n").arg(LoadString(IDS_APP_TITLE));
  entry += QStringLiteral("GenericName=Video Message Player\n");
  entry += QStringLiteral("Comment=Play recorded video messages\n");
  entry += QStringLiteral("Keywords=Kestrel;video;message;voice;play;qrv;\n");
  entry += QStringLiteral("Icon=%1\n").arg(QLatin1String(kIconName));
  entry += QStringLiteral("TryExec=%1\n").arg(EntryString(registration.programPath));
  entry += QStringLiteral("Exec=%1 %f\n").arg(ExecProgram(registration.programPath));
  entry += QStringLiteral("MimeType=%1;\n").arg(QLatin1String(kMimeType));
  entry += QStringLiteral("Categories=AudioVideo;Video;Player;\n");
  entry += QStringLiteral("Terminal=false\n");
  entry += QStringLiteral("StartupWMClass=player\n");
  const QString applications = dataHome_ + QStringLiteral("/applications");
  if (!WriteFile(applications + QLatin1Char('/') + QLatin1String(kDesktopFile), entry.toUtf8())) return false;
  // GIO, which file managers ask, finds the programs of a type through the
  // folder's cache only.
  return RunQuietly(QStringLiteral("update-desktop-database"), {applications});
}

QString CFreedesktopFileTypes::WithDefaultHandler(const QString& existing, const QString& mimeType,
                                                  const QString& desktopFile) {
  const QString section = QStringLiteral("[Default Applications]");
  const QString line = mimeType + QLatin1Char('=') + desktopFile;
  QStringList lines = existing.split(QLatin1Char('\n'));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  int sectionAt = -1;
  for (int i = 0; i < lines.size(); ++i) {
    if (lines[i].trimmed() == section) {
      sectionAt = i;
      break;
    }
  }
  if (sectionAt < 0) {
    if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines.append(QString());
    lines.append(section);
    lines.append(line);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
  }
  int end = sectionAt + 1;
  while (end < lines.size() && !lines[end].trimmed().startsWith(QLatin1Char('['))) {
    if (lines[end].trimmed().startsWith(mimeType + QLatin1Char('='))) {
      lines[end] = line;
      return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    ++end;
  }
  // After the section's last entry, before any blank lines that end it.
  int insertAt = end;
  while (insertAt > sectionAt + 1 && lines[insertAt - 1].trimmed().isEmpty()) --insertAt;
  lines.insert(insertAt, line);
  return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool CFreedesktopFileTypes::SetDefaultHandler() {
  const QString path = configHome_ + QStringLiteral("/mimeapps.list");
  QString existing;
  QFile file(path);
  if (file.exists()) {
    // Never overwrite a list that cannot be read: the user's other choices are in it.
    if (!file.open(QIODevice::ReadOnly)) return false;
    existing = QString::fromUtf8(file.readAll());
    file.close();
  }
  const QString updated = WithDefaultHandler(existing, QLatin1String(kMimeType), QLatin1String(kDesktopFile));
  return WriteFile(path, updated.toUtf8());
}

}  // namespace kestrel
