// The folder a start names: the one holding Frames/ or Frames/ itself, any
// other folder as it is, and command lines that name no usable folder.
#include "start_folder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

namespace kestrel::stillbox {

namespace {

class StartFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("calls/Frames"))));
    ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("empty"))));
    // A folder named Frames that itself holds one: it is taken as a holder.
    ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("nested/Frames/Frames"))));
    QFile file(root.filePath(QStringLiteral("picture.bmp")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }

  StartFolder Choose(const QStringList& arguments) {
    return ChooseStartFolder(QStringList{QStringLiteral("stillbox")} + arguments, root.path());
  }

  QTemporaryDir root;
};

TEST_F(StartFolderTest, TheNamedFolderOrTheWorkingDirectoryHoldsFrames) {
  const QString calls = root.filePath(QStringLiteral("calls"));
  EXPECT_EQ(Choose({}).directory, root.path());
  EXPECT_EQ(Choose({calls}).directory, calls);
  EXPECT_EQ(Choose({QStringLiteral("calls")}).directory, calls) << "relative to the working directory";
  EXPECT_EQ(Choose({QStringLiteral("calls/Frames")}).directory, calls) << "the Frames folder itself";
  EXPECT_EQ(Choose({calls + QStringLiteral("/Frames/")}).directory, calls);
  EXPECT_EQ(Choose({QStringLiteral("empty")}).directory, root.filePath(QStringLiteral("empty")));
  EXPECT_EQ(Choose({QStringLiteral("nested/Frames")}).directory, root.filePath(QStringLiteral("nested/Frames")));

  // Through a link, the Frames folder is known by its real name.
  ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("calls/Frames")), root.filePath(QStringLiteral("saved"))));
  EXPECT_EQ(Choose({QStringLiteral("saved")}).directory, calls);

  ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("-odd"))));
  const StartFolder odd = Choose({QStringLiteral("--"), QStringLiteral("-odd")});
  EXPECT_TRUE(odd.error.isEmpty()) << odd.error.toStdString();
  EXPECT_EQ(odd.directory, root.filePath(QStringLiteral("-odd")));
}

TEST_F(StartFolderTest, AFolderTheSystemRefusesEndsWithItsReason) {
  const StartFolder missing = Choose({QStringLiteral("gone")});
  EXPECT_EQ(missing.exitStatus, 1);
  EXPECT_EQ(missing.error, QStringLiteral("gone: ") + QString::fromLocal8Bit(std::strerror(ENOENT)));
  EXPECT_TRUE(missing.directory.isEmpty());

  const StartFolder file = Choose({QStringLiteral("picture.bmp")});
  EXPECT_EQ(file.exitStatus, 1);
  EXPECT_EQ(file.error, QStringLiteral("picture.bmp: ") + QString::fromLocal8Bit(std::strerror(ENOTDIR)));
}

TEST_F(StartFolderTest, UsageErrorsEndWithStatusTwo) {
  for (const QStringList& arguments : {QStringList{QStringLiteral("-x")}, QStringList{QStringLiteral("--frames=a")},
                                       QStringList{QStringLiteral("calls"), QStringLiteral("empty")}}) {
    const StartFolder start = Choose(arguments);
    EXPECT_EQ(start.exitStatus, 2) << arguments.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(start.error.endsWith(QStringLiteral("\nTry 'stillbox --help'.")));
    EXPECT_TRUE(start.directory.isEmpty());
  }
}

}  // namespace

}  // namespace kestrel::stillbox
