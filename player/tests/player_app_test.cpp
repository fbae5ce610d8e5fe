// Start-up: the file type registration, the command line and the hand-over
// from a running copy.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include "fake_file_types.h"
#include "fake_instance_channel.h"
#include "image_button.h"
#include "playback_panel.h"
#include "player_app.h"
#include "player_window_fixture.h"
#include "pump.h"
#include "single_instance.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using testing::CFakeFileTypes;
using testing::CFakeInstanceChannel;
using testing::CFakeInstanceName;
using testing::Sample;

// One copy of the player: its own services over the shared name.
struct Copy {
  explicit Copy(CFakeInstanceName& name, CFakeFileTypes& types, std::function<void(std::chrono::milliseconds)> sleep)
      : channel(name) {
    PlayerAppServices services;
    services.window = window.Services();
    services.channel = &channel;
    services.fileTypes = &types;
    services.sleep = std::move(sleep);
    services.programPath = QStringLiteral("/opt/kestrel/bin/player");
    app = std::make_unique<CPlayerApp>(services);
  }
  ~Copy() { app.reset(); }

  testing::PlayerDevices window;
  CFakeInstanceChannel channel;
  std::unique_ptr<CPlayerApp> app;
};

class PlayerAppTest : public ::testing::Test {
 protected:
  std::unique_ptr<Copy> Start(const QStringList& arguments) {
    auto copy = std::make_unique<Copy>(name, types, [this](std::chrono::milliseconds time) { OnSleep(time); });
    EXPECT_TRUE(copy->app->InitInstance(arguments));
    return copy;
  }
  void OnSleep(std::chrono::milliseconds time) {
    sleeps.push_back(time);
    // The closed copy's process ends while the newer one waits.
    if (time == CSingleInstance::kSettleTime) first.reset();
  }

  CFakeInstanceName name;
  CFakeFileTypes types;
  std::vector<std::chrono::milliseconds> sleeps;
  std::unique_ptr<Copy> first;
};

TEST_F(PlayerAppTest, RegistersTheFileTypeOnlyWhenItIsNotKnown) {
  first = Start({"player"});
  ASSERT_EQ(types.registered.size(), 1u);
  const FileTypeRegistration& registration = types.registered[0];
  EXPECT_EQ(registration.extension, QStringLiteral(".qrv"));
  EXPECT_EQ(registration.typeName, QStringLiteral("Kestrel.Message"));
  EXPECT_EQ(registration.description, QStringLiteral("Kestrel Compressed Message"));
  EXPECT_EQ(registration.programPath, QStringLiteral("/opt/kestrel/bin/player"));
  EXPECT_EQ(QCoreApplication::organizationName(), QStringLiteral("Orvane"));
  first.reset();

  types.known = true;
  first = Start({"player"});
  EXPECT_EQ(types.asked.size(), 2u);
  EXPECT_EQ(types.registered.size(), 1u) << "an existing association is left alone";
}

TEST_F(PlayerAppTest, OpensTheFirstFileArgumentWhenItEndsInQrvInAnyCase) {
  EXPECT_EQ(CPlayerApp::FileArgument({"player", "-x", "--y", "a.qrv", "b.qrv"}), QStringLiteral("a.qrv"));
  EXPECT_EQ(CPlayerApp::FileArgument({"player", "--", "-dash.qrv"}), QStringLiteral("-dash.qrv"));
  EXPECT_EQ(CPlayerApp::FileArgument({"player", "--help"}), std::nullopt);

  QTemporaryDir folder;
  const QString capitals = folder.filePath(QStringLiteral("VOICE.QRV"));
  ASSERT_TRUE(QFile::copy(Sample("voice.qrv"), capitals));
  first = Start({"player", capitals});
  EXPECT_TRUE(first->app->MainWindow()->IsPlaying());
  EXPECT_EQ(first->app->MainWindow()->windowTitle(), QStringLiteral("Kestrel Message Player - VOICE.QRV"));
  first.reset();

  const QString other = folder.filePath(QStringLiteral("voice.qrv.txt"));
  ASSERT_TRUE(QFile::copy(Sample("voice.qrv"), other));
  first = Start({"player", other});
  EXPECT_FALSE(first->app->MainWindow()->IsOpen()) << "another extension is ignored";
  EXPECT_TRUE(first->window.box.texts.isEmpty());
  first.reset();

  first = Start({"player"});
  EXPECT_TRUE(first->app->MainWindow()->isVisible());
  EXPECT_FALSE(first->app->MainWindow()->IsOpen());
}

TEST_F(PlayerAppTest, ANewerCopyClosesTheRunningOneWaitsAndTakesItsPlace) {
  first = Start({"player", Sample("voice.qrv")});
  ASSERT_TRUE(first->channel.Holds());
  CPlayerDlg* firstWindow = first->app->MainWindow();
  ASSERT_TRUE(first->app->MainWindow()->IsPlaying());
  bool firstClosed = false;
  QObject::connect(firstWindow, &CPlayerDlg::Closed, [&] { firstClosed = true; });

  std::unique_ptr<Copy> second = Start({"player", Sample("demo.qrv")});
  EXPECT_TRUE(firstClosed);
  EXPECT_EQ(first, nullptr) << "the first copy ended during the wait";
  ASSERT_FALSE(sleeps.empty());
  EXPECT_EQ(sleeps[0], 250ms);
  EXPECT_EQ(name.sent, std::vector<int>{0x0010}) << "WM_CLOSE";
  EXPECT_TRUE(second->channel.Holds()) << "the newer copy now answers the next one";
  EXPECT_EQ(second->app->MainWindow()->windowTitle(), QStringLiteral("Kestrel Message Player - demo.qrv"));
  EXPECT_TRUE(second->app->MainWindow()->IsPlaying());
}

TEST_F(PlayerAppTest, WithNoCopyRunningNothingIsSentOrAwaited) {
  first = Start({"player"});
  EXPECT_TRUE(name.sent.empty());
  EXPECT_TRUE(sleeps.empty());
}

TEST(SingleInstanceTest, TheHandOverClosesTheMainWindowNotAModalBoxWithTheSameCaption) {
  QWidget main;
  main.setWindowTitle(QStringLiteral("Kestrel Message Player - voice.qrv"));
  main.show();
  QDialog box(&main);
  box.setWindowTitle(QStringLiteral("Kestrel Message Player"));
  box.setWindowModality(Qt::ApplicationModal);
  box.show();
  QWidget other;
  other.setWindowTitle(QStringLiteral("Something else"));
  other.show();

  CSingleInstance::CloseWindowTitled(QStringLiteral("Kestrel Message Player"));
  EXPECT_FALSE(main.isVisible());
  EXPECT_FALSE(box.isVisible()) << "the box goes first, or its loop would hold the program";
  EXPECT_TRUE(other.isVisible());
}

}  // namespace
}  // namespace kestrel
