// The main window: its state table under every command, the title, the
// failure message, the volume button, the window frame and the About box.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "fake_volume_dialog.h"
#include "image_button.h"
#include "playback_panel.h"
#include "player_window_fixture.h"
#include "pump.h"
#include "resource_ids.h"
#include "tool_tip.h"
#include "wave_device.h"
#include "window_messages.h"

namespace kestrel {
namespace {

using testing::PlayerWindowTest;
using testing::Sample;

enum class State { NoMessage, Playing, Paused, Stopped };

const char* Name(State state) {
  switch (state) {
    case State::NoMessage:
      return "no message";
    case State::Playing:
      return "playing";
    case State::Paused:
      return "paused";
    case State::Stopped:
      return "stopped";
  }
  return "?";
}

class PlayerDlgTest : public PlayerWindowTest {
 protected:
  // What the window and its panel show, told apart as the state table does;
  // paused and stopped differ in the position label, which Stop empties.
  State Observed() {
    CImageButton& button = window->PlayPauseButton();
    const bool pauseLook = button.IconId() == IDI_PAUSE && button.ToolTip()->Text() == QLatin1String("Pause");
    const bool playLook = button.IconId() == IDI_PLAY && button.ToolTip()->Text() == QLatin1String("Play");
    EXPECT_NE(pauseLook, playLook) << "the icon and the tool tip disagree";
    EXPECT_EQ(window->IsPlaying(), pauseLook);
    EXPECT_EQ(window->Panel().IsPlaying(), window->IsPlaying());
    EXPECT_EQ(window->Panel().IsOpen(), window->IsOpen());
    if (!window->IsOpen()) {
      EXPECT_FALSE(window->IsPlaying());
      EXPECT_EQ(window->windowTitle(), QStringLiteral("Kestrel Message Player"));
      return State::NoMessage;
    }
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kestrel Message Player - voice.qrv"));
    if (window->IsPlaying()) return State::Playing;
    return window->Panel().CurrentText().isEmpty() ? State::Stopped : State::Paused;
  }

  void Enter(State state) {
    window->OnCommand(ID_FILE_CLOSE);
    if (state == State::NoMessage) return;
    window->OpenFromPath(Sample("voice.qrv"));
    // One buffer heard, so that the position label shows a time.
    ASSERT_TRUE(testing::PumpUntil([&] { return output.Pending() > 0; }));
    ASSERT_TRUE(output.FinishNext(1));
    window->Panel().SoundOutput().DeliverNotices();
    if (state == State::Paused) window->OnCommand(ID_PLAY_PAUSE);
    if (state == State::Stopped) window->OnCommand(ID_PLAY_STOP);
    ASSERT_EQ(Observed(), state);
  }

  void SendToWindow(int message) {
    QEvent event(EventTypeOf(message));
    QApplication::sendEvent(window.get(), &event);
  }
};

TEST_F(PlayerDlgTest, StartsWithNoMessage) {
  EXPECT_EQ(Observed(), State::NoMessage);
  EXPECT_EQ(window->StopButton().IconId(), IDI_STOP);
  EXPECT_EQ(window->StopButton().ToolTip()->Text(), QStringLiteral("Stop"));
  EXPECT_EQ(window->VolumeButton().IconId(), IDI_VOLUME);
  EXPECT_EQ(window->VolumeButton().ToolTip()->Text(), QStringLiteral("Open Audio Volume Controls"));
  EXPECT_EQ(window->Panel().Mode(), CPlaybackPanel::DisplayMode::None);
  EXPECT_EQ(window->PlayPauseButton().cursor().hotSpot(), QPoint(13, 9));
}

TEST_F(PlayerDlgTest, EveryCommandInEveryStateByMenuAndByButton) {
  struct Way {
    const char* name;
    std::function<void()> run;
  };
  struct Row {
    Way command;
    State from;
    State to;
  };
  const Way playPauseMenu{"Play/Pause menu", [this] { window->MenuAction(ID_PLAY_PAUSE)->trigger(); }};
  const Way playPauseButton{"Play/Pause button", [this] { window->PlayPauseButton().click(); }};
  const Way stopMenu{"Stop menu", [this] { window->MenuAction(ID_PLAY_STOP)->trigger(); }};
  const Way stopButton{"Stop button", [this] { window->StopButton().click(); }};
  const Way closeMenu{"Close menu", [this] { window->MenuAction(ID_FILE_CLOSE)->trigger(); }};
  const Way ended{"end of message", [this] { SendToWindow(WM_PLAYBACK_ENDED); }};
  const Row rows[] = {
      {playPauseMenu, State::NoMessage, State::NoMessage}, {playPauseButton, State::NoMessage, State::NoMessage},
      {stopMenu, State::NoMessage, State::NoMessage},      {stopButton, State::NoMessage, State::NoMessage},
      {closeMenu, State::NoMessage, State::NoMessage},     {ended, State::NoMessage, State::NoMessage},
      {playPauseMenu, State::Playing, State::Paused},      {playPauseButton, State::Playing, State::Paused},
      {stopMenu, State::Playing, State::Stopped},          {stopButton, State::Playing, State::Stopped},
      {closeMenu, State::Playing, State::NoMessage},       {ended, State::Playing, State::Stopped},
      {playPauseMenu, State::Paused, State::Playing},      {playPauseButton, State::Paused, State::Playing},
      {stopMenu, State::Paused, State::Stopped},           {stopButton, State::Paused, State::Stopped},
      {closeMenu, State::Paused, State::NoMessage},        {ended, State::Paused, State::Stopped},
      {playPauseMenu, State::Stopped, State::Playing},     {playPauseButton, State::Stopped, State::Playing},
      {stopMenu, State::Stopped, State::Stopped},          {stopButton, State::Stopped, State::Stopped},
      {closeMenu, State::Stopped, State::NoMessage},       {ended, State::Stopped, State::Stopped},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.command.name) + " from " + Name(row.from));
    Enter(row.from);
    row.command.run();
    EXPECT_EQ(Observed(), row.to) << Name(Observed());
  }
  EXPECT_TRUE(box.texts.isEmpty());
}

TEST_F(PlayerDlgTest, OpeningASecondMessageWhilePlayingPlaysTheSecond) {
  window->OpenFromPath(Sample("voice.qrv"));
  ASSERT_TRUE(window->IsPlaying());
  ASSERT_TRUE(testing::PumpUntil([&] { return output.Pending() > 0; }));
  window->OpenFromPath(Sample("demo.qrv"));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Kestrel Message Player - demo.qrv"));
  EXPECT_TRUE(window->IsPlaying());
  EXPECT_TRUE(window->Panel().IsPlaying());
  EXPECT_EQ(window->Panel().Mode(), CPlaybackPanel::DisplayMode::Video);
  EXPECT_EQ(window->PlayPauseButton().IconId(), IDI_PAUSE);
}

TEST_F(PlayerDlgTest, AFileThatIsNotAMessageIsReportedAndLeavesNoMessage) {
  QTemporaryDir folder;
  const QString bad = folder.filePath(QStringLiteral("bad header.qrv"));
  {
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("QRV01.02 and then some more bytes");
  }
  window->OpenFromPath(Sample("voice.qrv"));
  window->OpenFromPath(bad);
  EXPECT_EQ(Observed(), State::NoMessage);
  ASSERT_EQ(box.texts.size(), 1);
  EXPECT_EQ(box.texts[0], QStringLiteral("Cannot open file %1.").arg(bad));
  EXPECT_EQ(box.captions[0], QStringLiteral("Kestrel Message Player"));

  // A path that looks like a format is shown as it is.
  const QString odd = folder.filePath(QStringLiteral("%s%n%d.qrv"));
  window->OpenFromPath(odd);
  ASSERT_EQ(box.texts.size(), 2);
  EXPECT_EQ(box.texts[1], QStringLiteral("Cannot open file %1.").arg(odd));
}

TEST_F(PlayerDlgTest, OpenAsksForAMessageFileAndOpensTheChoice) {
  window->MenuAction(ID_FILE_OPEN)->trigger();
  EXPECT_EQ(openDialog.asked, 1);
  EXPECT_EQ(openDialog.last.title, QStringLiteral("Open Kestrel Message..."));
  EXPECT_EQ(openDialog.last.filter, QStringLiteral("Kestrel Message Files (*.qrv)"));
  EXPECT_TRUE(openDialog.last.fileMustExist && openDialog.last.pathMustExist && openDialog.last.readOnlyTicked);
  EXPECT_EQ(Observed(), State::NoMessage) << "cancelled";

  openDialog.answer = Sample("voice.qrv");
  window->MenuAction(ID_FILE_OPEN)->trigger();
  EXPECT_EQ(Observed(), State::Playing);
}

TEST_F(PlayerDlgTest, DroppingAMessageFileOpensIt) {
  QMimeData other;
  other.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/picture.png"))});
  QDragEnterEvent refused(QPoint(50, 50), Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &refused);
  EXPECT_FALSE(refused.isAccepted());

  QMimeData message;
  message.setUrls({QUrl::fromLocalFile(Sample("voice.qrv"))});
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &message, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &message, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &drop);
  EXPECT_EQ(Observed(), State::Playing);
}

TEST_F(PlayerDlgTest, VolumeButtonLatchesAndAsksTheSoundOutputToShowAndHide) {
  testing::CFakeVolumeDialog dialog;
  window->Panel().SoundOutput().SetVolumeDialog(&dialog);
  CImageButton& volume = window->VolumeButton();

  volume.click();
  EXPECT_TRUE(dialog.visible);
  EXPECT_TRUE(volume.IsLatched());
  EXPECT_EQ(volume.ToolTip()->Text(), QStringLiteral("Close Audio Volume Controls"));

  volume.click();
  EXPECT_FALSE(dialog.visible);
  EXPECT_FALSE(volume.IsLatched());
  EXPECT_EQ(volume.ToolTip()->Text(), QStringLiteral("Open Audio Volume Controls"));

  // The dialog closed by its own close box: the sound output passes it on.
  volume.click();
  ASSERT_TRUE(volume.IsLatched());
  dialog.visible = false;
  QEvent closed(EventTypeOf(WM_VOLUME_DIALOG_CLOSED));
  QApplication::sendEvent(&window->Panel().SoundOutput(), &closed);
  EXPECT_FALSE(volume.IsLatched());
  EXPECT_FALSE(window->IsVolumeShown());
  EXPECT_EQ(volume.ToolTip()->Text(), QStringLiteral("Open Audio Volume Controls"));
  volume.click();
  EXPECT_TRUE(dialog.visible) << "the next press shows it again";
  EXPECT_EQ(dialog.shows, 3);
  EXPECT_EQ(dialog.hides, 1);
  window->Panel().SoundOutput().SetVolumeDialog(nullptr);
}

TEST_F(PlayerDlgTest, LaidOutFromTheTemplateWithoutAMaximiseBox) {
  // The controls lie inside the window below the menu bar, side by side
  // without overlapping: the two buttons alike in a row at the top, the
  // display under them, as wide as the row.
  const int menu = window->MenuBar()->height();
  const QRect client(0, menu, window->width(), window->height() - menu);
  const QRect play = window->PlayPauseButton().geometry();
  const QRect volume = window->VolumeButton().geometry();
  const QRect display = window->Panel().parentWidget()->geometry();
  for (const QRect& control : {play, volume, display}) {
    EXPECT_FALSE(control.isEmpty());
    EXPECT_TRUE(client.contains(control)) << "inside the window";
  }
  EXPECT_FALSE(play.intersects(volume));
  EXPECT_FALSE(play.intersects(display));
  EXPECT_FALSE(volume.intersects(display));
  EXPECT_EQ(play.size(), volume.size());
  EXPECT_EQ(play.top(), volume.top());
  EXPECT_LT(play.right(), volume.left());
  EXPECT_GT(display.top(), play.bottom());
  EXPECT_EQ(display.left(), play.left());
  EXPECT_EQ(display.right(), volume.right());
  EXPECT_NEAR(play.left() - client.left(), client.right() - volume.right(), 1) << "margins alike on both sides";

  EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  const QSize size = window->size();
  window->showMaximized();
  QApplication::processEvents();
  EXPECT_FALSE(window->windowState() & Qt::WindowMaximized);
  EXPECT_EQ(window->size(), size);
}

TEST_F(PlayerDlgTest, ExitClosesThePlayingMessageAndTheWindow) {
  window->OpenFromPath(Sample("voice.qrv"));
  bool closed = false;
  QObject::connect(window.get(), &CPlayerDlg::Closed, [&] { closed = true; });
  window->MenuAction(ID_APP_EXIT)->trigger();
  EXPECT_TRUE(closed);
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->Panel().IsOpen());
  EXPECT_FALSE(output.IsOpen());
}

}  // namespace
}  // namespace kestrel
