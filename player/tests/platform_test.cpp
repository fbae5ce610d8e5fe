// The Linux backend of the file association: its files in temporary homes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/freedesktop_file_types.h"

namespace kestrel {
namespace {

QString Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
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
    EXPECT_TRUE(Read(data + QStringLiteral("/mime/globs2")).contains(QStringLiteral("application/x-kestrel-message:*.qrv")));
  }

  const QString entryPath = data + QStringLiteral("/applications/kestrel-player.desktop");
  const QString entry = Read(entryPath);
  EXPECT_TRUE(entry.contains(QStringLiteral("\nName=Kestrel Message Player\n")));
  EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=\"/opt/kestrel/bin/player\" %f\n")));
  EXPECT_TRUE(entry.contains(QStringLiteral("\nMimeType=application/x-kestrel-message;\n")));
  const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
  if (!validate.isEmpty()) {
    QProcess check;
    check.start(validate, {entryPath});
    ASSERT_TRUE(check.waitForFinished());
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
  }

  for (const char* icon : {"/icons/hicolor/32x32/apps/kestrel-player.png",
                           "/icons/hicolor/256x256/mimetypes/application-x-kestrel-message.png"}) {
    EXPECT_TRUE(QFile::exists(data + QLatin1String(icon))) << icon;
  }
  EXPECT_EQ(Read(config + QStringLiteral("/mimeapps.list")),
            QStringLiteral("[Default Applications]\napplication/x-kestrel-message=kestrel-player.desktop\n"));
}

TEST_F(FreedesktopFileTypesTest, TheUsersOtherChoicesStayInMimeappsList) {
  QDir().mkpath(config);
  QFile list(config + QStringLiteral("/mimeapps.list"));
  ASSERT_TRUE(list.open(QIODevice::WriteOnly));
  list.write("[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\nimage/png=viewer.desktop\n"
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

TEST_F(FreedesktopFileTypesTest, ProgramPathsAreQuotedForTheExecLine) {
  EXPECT_EQ(CFreedesktopFileTypes::QuoteForExec(QStringLiteral("/opt/my player/player")),
            QStringLiteral("\"/opt/my player/player\""));
  // In the file: \\" for a quote, \\$ for a dollar, four backslashes for one, %% for a per cent.
  EXPECT_EQ(CFreedesktopFileTypes::QuoteForExec(QStringLiteral("/a\"b$c\\d%e`f")),
            QStringLiteral("\"/a\\\\\"b\\\\$c\\\\\\\\d%%e\\\\`f\""));
  CFreedesktopFileTypes types(data, config);
  types.Register(Registration(QStringLiteral("/opt/it's \"odd\"/player")));
  const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
  if (!validate.isEmpty()) {
    QProcess check;
    check.start(validate, {data + QStringLiteral("/applications/kestrel-player.desktop")});
    ASSERT_TRUE(check.waitForFinished());
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
  }
}

}  // namespace
}  // namespace kestrel
