// The Linux backend of the file association: its files in temporary homes.
#include <gtest/gtest.h>

#include <chrono>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/freedesktop_file_types.h"
#include "pump.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;

QString Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void ExpectValidEntry(const QString& path) {
  const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
  if (validate.isEmpty()) return;
  QProcess check;
  check.start(validate, {path});
  ASSERT_TRUE(check.waitForFinished());
  EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
}

class FreedesktopFileTypesTest : public ::testing::Test {
 protected:
  FileTypeRegistration Registration(const QString& program) {
    return {QStringLiteral(".qrv"), QStringLiteral("Kestrel.Message"), QStringLiteral("Kestrel Compressed Message"),
            program};
  }
  QTemporaryDir home;
  QString data = home.filePath(QStringLiteral("data"));
  QString config = home.filePath(QStringLiteral("config"));
};

TEST_F(FreedesktopFileTypesTest, RegisterWritesTheTypeTheEntryTheIconsAndTheDefault) {
  CFreedesktopFileTypes types(data, config);
  types.Register(Registration(QStringLiteral("/opt/kestrel/bin/player")));

  const QString package = Read(data + QStringLiteral("/mime/packages/kestrel-message.xml"));
  EXPECT_TRUE(package.contains(QStringLiteral("<mime-type type=\"application/x-kestrel-message\">")));
  EXPECT_TRUE(package.contains(QStringLiteral("<glob pattern=\"*.qrv\"/>")));
  EXPECT_TRUE(package.contains(QStringLiteral("<comment>Kestrel Compressed Message</comment>")));
  EXPECT_TRUE(package.contains(QStringLiteral("value=\"QRV01.01\"")));
  if (!QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty()) {
    EXPECT_TRUE(
        Read(data + QStringLiteral("/mime/globs2")).contains(QStringLiteral("application/x-kestrel-message:*.qrv")));
  }

  const QString entryPath = data + QStringLiteral("/applications/kestrel-player.desktop");
  const QString entry = Read(entryPath);
  EXPECT_TRUE(entry.contains(QStringLiteral("\nName=Kestrel Message Player\n")));
  EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=/opt/kestrel/bin/player %f\n")));
  EXPECT_TRUE(entry.contains(QStringLiteral("\nTryExec=/opt/kestrel/bin/player\n")));
  EXPECT_TRUE(entry.contains(QStringLiteral("\nMimeType=application/x-kestrel-message;\n")));
  if (!QStandardPaths::findExecutable(QStringLiteral("update-desktop-database")).isEmpty()) {
    EXPECT_TRUE(Read(data + QStringLiteral("/applications/mimeinfo.cache"))
                    .contains(QStringLiteral("application/x-kestrel-message=kestrel-player.desktop;")));
  }
  ExpectValidEntry(entryPath);

  for (const char* icon :
       {"/icons/hicolor/32x32/apps/kestrel-player.png", "/icons/hicolor/256x256/apps/kestrel-player.png"}) {
    EXPECT_TRUE(QFile::exists(data + QLatin1String(icon))) << icon;
  }
  // Message files have a document icon of their own, not the program's.
  const QString appIcon = Read(data + QStringLiteral("/icons/hicolor/scalable/apps/kestrel-player.svg"));
  const QString typeIcon =
      Read(data + QStringLiteral("/icons/hicolor/scalable/mimetypes/application-x-kestrel-message.svg"));
  EXPECT_TRUE(appIcon.contains(QStringLiteral("<svg")));
  EXPECT_TRUE(typeIcon.contains(QStringLiteral("<svg")));
  EXPECT_NE(appIcon, typeIcon);
  EXPECT_FALSE(
      QFile::exists(data + QStringLiteral("/icons/hicolor/48x48/mimetypes/application-x-kestrel-message.png")));
  EXPECT_EQ(Read(config + QStringLiteral("/mimeapps.list")),
            QStringLiteral("[Default Applications]\napplication/x-kestrel-message=kestrel-player.desktop\n"));
}

TEST_F(FreedesktopFileTypesTest, TheUsersOtherChoicesStayInMimeappsList) {
  QDir().mkpath(config);
  QFile list(config + QStringLiteral("/mimeapps.list"));
  ASSERT_TRUE(list.open(QIODevice::WriteOnly));
  list.write(
      "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\nimage/png=viewer.desktop\n"
      "application/x-kestrel-message=old.desktop\n\n[Removed Associations]\nimage/gif=viewer.desktop;\n");
  list.close();
  CFreedesktopFileTypes(data, config).Register(Registration(QStringLiteral("/usr/bin/player")));
  EXPECT_EQ(Read(config + QStringLiteral("/mimeapps.list")),
            QStringLiteral("[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n"
                           "image/png=viewer.desktop\napplication/x-kestrel-message=kestrel-player.desktop\n\n"
                           "[Removed Associations]\nimage/gif=viewer.desktop;\n"));

  EXPECT_EQ(CFreedesktopFileTypes::WithDefaultHandler(
                QStringLiteral("[Default Applications]\nimage/png=viewer.desktop\n\n[Other]\nx=y\n"),
                QStringLiteral("application/x-kestrel-message"), QStringLiteral("kestrel-player.desktop")),
            QStringLiteral("[Default Applications]\nimage/png=viewer.desktop\n"
                           "application/x-kestrel-message=kestrel-player.desktop\n\n[Other]\nx=y\n"));
  EXPECT_EQ(CFreedesktopFileTypes::WithDefaultHandler(QStringLiteral("[Other]\nx=y\n"), QStringLiteral("a/b"),
                                                      QStringLiteral("c.desktop")),
            QStringLiteral("[Other]\nx=y\n\n[Default Applications]\na/b=c.desktop\n"));
}

TEST_F(FreedesktopFileTypesTest, ExecLinesQuoteOnlyWhatNeedsQuoting) {
  EXPECT_EQ(CFreedesktopFileTypes::ExecProgram(QStringLiteral("/usr/local/bin/player")),
            QStringLiteral("/usr/local/bin/player"));
  EXPECT_EQ(CFreedesktopFileTypes::ExecProgram(QStringLiteral("/opt/my player/player")),
            QStringLiteral("\"/opt/my player/player\""));
  // In the file: \\" for a quote, \\$ for a dollar, four backslashes for one.
  EXPECT_EQ(CFreedesktopFileTypes::ExecProgram(QStringLiteral("/a\"b$c\\d`f")),
            QStringLiteral("\"/a\\\\\"b\\\\$c\\\\\\\\d\\\\`f\""));
  EXPECT_EQ(CFreedesktopFileTypes::ExecProgram(QStringLiteral("/a%b/player")), QStringLiteral("env /a%%b/player"));
  // A line break cannot end the value and start a line of its own.
  EXPECT_EQ(CFreedesktopFileTypes::EntryString(QStringLiteral("/a\nExec=x\\y")), QStringLiteral("/a\\nExec=x\\\\y"));
}

// A program whose path holds a space, a per cent sign and a quote, as GIO (what
// file managers ask) sees its entry: listed for the type, and started with the
// file it is given.
TEST_F(FreedesktopFileTypesTest, GioListsAndStartsAProgramWhosePathNeedsEscaping) {
  const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
  if (gio.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("update-desktop-database")).isEmpty()) {
    GTEST_SKIP() << "gio or update-desktop-database is not installed";
  }
  const QString folder = home.filePath(QStringLiteral("it's 100% \"odd\""));
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString program = folder + QStringLiteral("/player");
  const QString called = home.filePath(QStringLiteral("called"));
  QFile script(program);
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + called.toUtf8() + ".new' && mv '" + called.toUtf8() +
               ".new' '" + called.toUtf8() + "'\n");
  script.close();
  script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
  CFreedesktopFileTypes(data, config).Register(Registration(program));
  ExpectValidEntry(data + QStringLiteral("/applications/kestrel-player.desktop"));

  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_DATA_HOME"), data);
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
  environment.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/usr/share"));
  const auto runGio = [&](const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(gio, arguments);
    EXPECT_TRUE(process.waitForFinished(10000));
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
  };
  const QString listing = runGio({QStringLiteral("mime"), QLatin1String(CFreedesktopFileTypes::kMimeType)});
  EXPECT_TRUE(listing.contains(QStringLiteral("Registered applications:\n\tkestrel-player.desktop")))
      << listing.toStdString();

  const QString message = home.filePath(QStringLiteral("greeting.qrv"));
  QFile file(message);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray("QRV01.01\0\0\0\0\0", 13));
  file.close();
  const QString opened = runGio({QStringLiteral("open"), message});
  EXPECT_TRUE(testing::PumpUntil([&] { return QFile::exists(called); }, 10s)) << opened.toStdString();
  EXPECT_EQ(Read(called), message + QLatin1Char('\n'));
}

}  // namespace
}  // namespace kestrel
