#include "playback_panel.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "manual_clock.h"
#include "support/message_builder.h"
#include "tone_audio.h"
#include "panel_host.h"
#include "playing_time.h"
#include "progress_bar.h"
#include "pump.h"
#include "recording_message_box.h"
#include "scripted_wave_output.h"
#include "silent_wave_output.h"
#include "string_table.h"
#include "video_window.h"
#include "video_window_sink.h"
#include "wave_device.h"
#include "waveform_scope.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using testing::CManualClock;
using testing::CPanelHost;
using testing::CRecordingMessageBox;
using testing::CScriptedWaveOutput;
using testing::MessageBuilder;
using testing::PumpFor;
using testing::PumpUntil;
using testing::TempPath;

std::string TimeText(std::uint64_t frames) {
  char text[64];
  FormatPlayingTime(text, sizeof text, frames);
  return text;
}

std::string SoundMessage(const std::string& name, int records, std::uint8_t rate = 0) {
  MessageBuilder builder;
  builder.FrameRate(rate);
  for (int i = 0; i < records; ++i) {
    builder.SilentAudio(1);
    if (rate > 0) builder.Video(testing::Encode(testing::EmptyFrame()));
  }
  return builder.WriteTo(TempPath(name));
}

// The panel in a bare window, on the command-driven sound device.
class ScriptedPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    services.soundOutput = &output;
    services.silentOutput = &silent;
    services.clock = &clock;
    services.messageBox = &box;
    panel = std::make_unique<CPlaybackPanel>(&host, services);
  }
  void TearDown() override { panel.reset(); }

  // Waits until the reader has queued `n` buffers (or more).
  bool QueuedAtLeast(int n) {
    return PumpUntil([&] { return output.Pending() >= n; });
  }
  // Finishes `n` buffers and hands their notices to the panel.
  void Hear(int n) {
    ASSERT_TRUE(output.FinishNext(n));
    panel->SoundOutput().DeliverNotices();
  }

  CScriptedWaveOutput output;
  CSilentWaveOutput silent{50};
  CManualClock clock;
  CRecordingMessageBox box;
  PlaybackServices services;
  CPanelHost host;
  std::unique_ptr<CPlaybackPanel> panel;
};

TEST_F(ScriptedPanelTest, OpenShowsTheTotalAndPreparesWithoutPlaying) {
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("m.qrv", 30))));
  EXPECT_EQ(panel->Mode(), CPlaybackPanel::DisplayMode::Scope);
  EXPECT_EQ(panel->TotalText().toStdString(), "00 mins, 6.0 secs ");
  EXPECT_EQ(panel->CurrentText().toStdString(), "00 mins, 0.0 secs ");
  PumpFor(50ms);
  EXPECT_EQ(output.Pending(), 0);
  EXPECT_FALSE(output.IsRunning());
  EXPECT_TRUE(box.texts.isEmpty());
}

TEST_F(ScriptedPanelTest, DisplayModeShowsTheScopeOrThePictureAndTheirFrame) {
  host.show();
  panel->show();
  panel->SetDisplayMode(CPlaybackPanel::DisplayMode::None);
  EXPECT_FALSE(panel->ProgressBar().isVisible());
  EXPECT_FALSE(panel->Scope().isVisible());
  EXPECT_FALSE(panel->VideoWindow().isVisible());
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("sound.qrv", 3))));
  EXPECT_TRUE(panel->ProgressBar().isVisible());
  EXPECT_TRUE(panel->Scope().isVisible());
  EXPECT_FALSE(panel->VideoWindow().isVisible());
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("video.qrv", 3, 2))));
  EXPECT_EQ(panel->Mode(), CPlaybackPanel::DisplayMode::Video);
  EXPECT_FALSE(panel->Scope().isVisible());
  EXPECT_TRUE(panel->VideoWindow().isVisible());
  // The picture fits the display frame whole, centred in it.
  const QRect frame = panel->Scope().parentWidget()->rect();
  const QRect picture = panel->VideoWindow().geometry();
  EXPECT_TRUE(frame.contains(picture)) << frame.width() << "x" << frame.height();
  EXPECT_LE(std::abs((picture.left() - frame.left()) - (frame.right() - picture.right())), 1);
  panel->Close();
  EXPECT_FALSE(panel->ProgressBar().isVisible());
  EXPECT_FALSE(panel->VideoWindow().isVisible());
}

TEST_F(ScriptedPanelTest, OpenOfAMissingOrForeignFileFailsAndLeavesNothingOpen) {
  EXPECT_FALSE(panel->Open(QString::fromStdString(TempPath("missing.qrv"))));
  const std::string foreign = MessageBuilder().Magic("qrv01.01").WriteTo(TempPath("foreign.qrv"));
  EXPECT_FALSE(panel->Open(QString::fromStdString(foreign)));
  EXPECT_FALSE(panel->IsOpen());
  EXPECT_EQ(panel->Mode(), CPlaybackPanel::DisplayMode::None);
  EXPECT_TRUE(panel->TotalText().isEmpty());
}

TEST_F(ScriptedPanelTest, PlaysToTheEndAndReportsItOnce) {
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("m.qrv", 30))));
  panel->Play();
  int heard = 0;
  while (heard < 300) {
    ASSERT_TRUE(QueuedAtLeast(1)) << heard;
    const int n = output.Pending();
    Hear(n);
    heard += n;
    if (heard < 300) {
      EXPECT_EQ(panel->CurrentText().toStdString(), TimeText(heard));
    }
  }
  EXPECT_EQ(heard, 300);
  EXPECT_EQ(host.ended, 1);
  EXPECT_FALSE(panel->IsPlaying());
  EXPECT_TRUE(panel->CurrentText().isEmpty());
  EXPECT_EQ(panel->ProgressBar().Leading(), 0);
  PumpFor(50ms);
  EXPECT_EQ(host.ended, 1);
  EXPECT_EQ(output.Pending(), 0);  // rewound, and nothing read until Play
}

TEST_F(ScriptedPanelTest, PauseKeepsThePositionAndPlayGoesOn) {
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("m.qrv", 30))));
  panel->Play();
  ASSERT_TRUE(QueuedAtLeast(100));
  Hear(40);
  panel->Pause();
  EXPECT_FALSE(output.IsRunning());
  EXPECT_EQ(panel->CurrentText().toStdString(), TimeText(40));
  panel->Play();
  EXPECT_TRUE(output.IsRunning());
  Hear(10);
  EXPECT_EQ(panel->HeardBuffers(), 50u);
  EXPECT_EQ(panel->CurrentText().toStdString(), TimeText(50));
}

TEST_F(ScriptedPanelTest, StopRewindsAndStopTwiceDoesNothingMore) {
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("m.qrv", 30))));
  panel->Play();
  ASSERT_TRUE(QueuedAtLeast(100));
  Hear(60);
  panel->Stop();
  EXPECT_TRUE(panel->CurrentText().isEmpty());
  EXPECT_EQ(panel->SoundOutput().QueuedCount(), 0);
  EXPECT_EQ(panel->ProgressBar().Leading(), 0);
  panel->Stop();
  EXPECT_EQ(host.ended, 0);

  // Play starts again from the first record; the label stays empty until a
  // buffer has been heard.
  output.ForgetWrites();
  panel->Play();
  ASSERT_TRUE(QueuedAtLeast(30));
  EXPECT_TRUE(panel->CurrentText().isEmpty());
  Hear(1);
  EXPECT_EQ(panel->HeardBuffers(), 1u);
  EXPECT_EQ(panel->CurrentText().toStdString(), TimeText(1));
}

TEST_F(ScriptedPanelTest, PlayAfterStopDecodesTheSoundAsTheFirstTime) {
  const auto records = testing::ToneRecords(4, 500.0, 5);
  MessageBuilder builder;
  for (const auto& record : records) builder.Audio(record);
  const std::vector<std::int16_t> decoded = testing::DecodeRecords(records);
  ASSERT_TRUE(panel->Open(QString::fromStdString(builder.WriteTo(TempPath("tone.qrv")))));
  for (int pass = 0; pass < 2; ++pass) {
    output.ForgetWrites();
    panel->Play();
    ASSERT_TRUE(QueuedAtLeast(40)) << pass;
    const auto writes = output.Writes();
    for (int block = 0; block < 40; ++block) {
      EXPECT_EQ(writes[block].firstSample, decoded[block * 160]) << "pass " << pass << ", block " << block;
    }
    Hear(15);
    panel->Stop();
  }
}

TEST_F(ScriptedPanelTest, OpenWhilePlayingDropsTheNoticesOfTheFirstMessage) {
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("first.qrv", 30))));
  panel->Play();
  ASSERT_TRUE(QueuedAtLeast(100));
  ASSERT_TRUE(output.FinishNext(5));  // heard, but not handled before the Open
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("second.qrv", 3))));
  panel->SoundOutput().DeliverNotices();
  EXPECT_EQ(panel->HeardBuffers(), 0u);
  EXPECT_EQ(host.ended, 0);
  EXPECT_EQ(panel->TotalText().toStdString(), "00 mins, 0.6 secs ");
  panel->Play();
  ASSERT_TRUE(QueuedAtLeast(30));
  Hear(30);
  EXPECT_EQ(host.ended, 1);
}

TEST_F(ScriptedPanelTest, AnUnderrunIsNotTheEnd) {
  // The message arrives through a pipe, so the reader can be made to fall
  // behind: it has read three records and waits for more.
  const std::string path = TempPath("pipe.qrv");
  ::unlink(path.c_str());
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  const int writer = ::open(path.c_str(), O_RDWR);
  ASSERT_GE(writer, 0);
  const std::vector<std::uint8_t> header = MessageBuilder().AudioFrameCount(60).Bytes();
  const std::vector<std::uint8_t> records = MessageBuilder().SilentAudio(3).Bytes();
  const std::vector<std::uint8_t> body(records.begin() + 13, records.end());
  ASSERT_EQ(::write(writer, header.data(), header.size()), static_cast<ssize_t>(header.size()));
  ASSERT_EQ(::write(writer, body.data(), body.size()), static_cast<ssize_t>(body.size()));

  ASSERT_TRUE(panel->Open(QString::fromStdString(path)));
  panel->Play();
  ASSERT_TRUE(QueuedAtLeast(30));
  Hear(30);
  EXPECT_EQ(panel->SoundOutput().QueuedCount(), 0);
  EXPECT_EQ(host.ended, 0);
  EXPECT_TRUE(panel->IsPlaying());
  EXPECT_FALSE(output.IsRunning());  // waiting for the pre-roll again

  ASSERT_EQ(::write(writer, body.data(), body.size()), static_cast<ssize_t>(body.size()));
  ::close(writer);
  ASSERT_TRUE(QueuedAtLeast(30));
  EXPECT_TRUE(output.IsRunning());
  Hear(30);
  ASSERT_TRUE(PumpUntil([&] { return host.ended > 0; }));
  EXPECT_EQ(host.ended, 1);
}

TEST_F(ScriptedPanelTest, AMessageOfTwentyFramesOrFewerIsHeardAndEnds) {
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("short.qrv", 2))));
  panel->Play();
  ASSERT_TRUE(QueuedAtLeast(20));
  ASSERT_TRUE(PumpUntil([&] { return output.IsRunning(); }));
  Hear(20);
  EXPECT_EQ(host.ended, 1);
}

TEST_F(ScriptedPanelTest, AnEmptyMessageEndsAtOnce) {
  ASSERT_TRUE(panel->Open(QString::fromStdString(MessageBuilder().WriteTo(TempPath("empty.qrv")))));
  panel->Play();
  ASSERT_TRUE(PumpUntil([&] { return host.ended > 0; }));
  EXPECT_EQ(host.ended, 1);
}

TEST_F(ScriptedPanelTest, PauseWorksWhileDrainingAndPlayHearsTheRest) {
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("m.qrv", 3))));
  panel->Play();
  ASSERT_TRUE(QueuedAtLeast(30));
  Hear(15);
  // The reader is at the end of the data; 15 buffers are left to hear.
  panel->Pause();
  EXPECT_FALSE(panel->IsPlaying());
  EXPECT_FALSE(output.IsRunning());
  EXPECT_EQ(panel->SoundOutput().QueuedCount(), 15);
  EXPECT_EQ(host.ended, 0);
  panel->Play();
  EXPECT_TRUE(output.IsRunning());  // below the pre-roll, but nothing more will come
  Hear(15);
  EXPECT_EQ(host.ended, 1);
}

TEST_F(ScriptedPanelTest, StopAndOpenEmptyTheScopesWaitingValues) {
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("m.qrv", 30))));
  panel->Play();
  ASSERT_TRUE(QueuedAtLeast(100));
  EXPECT_GE(panel->Scope().PendingSamples(), 100);
  Hear(10);
  panel->Stop();
  EXPECT_EQ(panel->Scope().PendingSamples(), 0);
  panel->Play();
  ASSERT_TRUE(QueuedAtLeast(100));
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("n.qrv", 30))));
  EXPECT_EQ(panel->Scope().PendingSamples(), 0);
}

TEST_F(ScriptedPanelTest, CommandsInQuickSuccessionLeaveConsistentQueues) {
  const QString first = QString::fromStdString(SoundMessage("a.qrv", 40, 5));
  const QString second = QString::fromStdString(SoundMessage("b.qrv", 40, 0));
  for (int round = 0; round < 30; ++round) {
    ASSERT_TRUE(panel->Open(round % 2 ? second : first));
    panel->Play();
    if (round % 3 == 0) PumpFor(2ms);
    panel->Pause();
    panel->Play();
    panel->Stop();
    EXPECT_EQ(panel->SoundOutput().QueuedCount(), 0) << round;
    EXPECT_EQ(panel->VideoWindow().QueuedCount(), 0) << round;
    panel->Play();
  }
  panel->Close();
  EXPECT_FALSE(panel->IsOpen());
  EXPECT_EQ(host.ended, 0);
}

TEST_F(ScriptedPanelTest, WithoutASoundDeviceTheBoxIsShownAndTheMessageStillEnds) {
  output.SetOpenFails(true);
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("m.qrv", 10))));
  ASSERT_EQ(box.texts.size(), 1);
  EXPECT_EQ(box.texts[0], LoadString(IDS_CANNOT_OPEN_AUDIO));
  EXPECT_EQ(box.captions[0], QString("Kestrel Message Player"));
  panel->Play();
  ASSERT_TRUE(PumpUntil([&] { return host.ended > 0; }));
  EXPECT_EQ(host.ended, 1);
}

TEST_F(ScriptedPanelTest, PicturesWithoutSoundKeepTimeAndEnd) {
  output.SetOpenFails(false);
  MessageBuilder builder;
  builder.FrameRate(5).AudioFrameCount(0);
  for (int i = 0; i < 5; ++i) builder.Video(testing::Encode(testing::EmptyFrame()));
  ASSERT_TRUE(panel->Open(QString::fromStdString(builder.WriteTo(TempPath("pictures.qrv")))));
  EXPECT_EQ(panel->Mode(), CPlaybackPanel::DisplayMode::Video);
  EXPECT_EQ(panel->TotalText().toStdString(), "00 mins, 1.0 secs ");
  panel->Play();
  // Each picture at rate 5 brings 10 silent buffers.
  ASSERT_TRUE(QueuedAtLeast(50));
  ASSERT_TRUE(PumpUntil([&] { return panel->VideoWindow().QueuedCount() == 5; }));
  for (int i = 1; i <= 5; ++i) {
    ASSERT_TRUE(clock.Tick());
    ASSERT_TRUE(PumpUntil([&] { return panel->VideoWindow().QueuedCount() == 5 - i; })) << i;
  }
  Hear(49);
  EXPECT_EQ(panel->CurrentText().toStdString(), TimeText(49));
  EXPECT_EQ(panel->ProgressBar().Leading(), 49);
  Hear(1);
  EXPECT_EQ(host.ended, 1);
}

// The engine on the real-time silent device.
class RealTimePanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    services.soundOutput = &silent;
    services.silentOutput = &spare;
    services.clock = &clock;
    services.messageBox = &box;
    panel = std::make_unique<CPlaybackPanel>(&host, services);
  }
  void TearDown() override { panel.reset(); }

  CSilentWaveOutput silent{10};  // ten times real time
  CSilentWaveOutput spare{10};
  CManualClock clock;
  CRecordingMessageBox box;
  PlaybackServices services;
  CPanelHost host;
  std::unique_ptr<CPlaybackPanel> panel;
};

TEST_F(RealTimePanelTest, PausePlayStopPlayAndTheEndReportedOnce) {
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("m.qrv", 50))));
  panel->Play();
  ASSERT_TRUE(PumpUntil([&] { return panel->HeardBuffers() >= 40; }));
  panel->Pause();
  const std::uint64_t paused = panel->HeardBuffers();
  PumpFor(60ms);
  EXPECT_EQ(panel->HeardBuffers(), paused);
  EXPECT_EQ(panel->CurrentText().toStdString(), TimeText(paused));
  panel->Play();
  ASSERT_TRUE(PumpUntil([&] { return panel->HeardBuffers() > paused; }));

  panel->Stop();
  EXPECT_EQ(panel->HeardBuffers(), 0u);
  panel->Stop();
  panel->Play();
  ASSERT_TRUE(PumpUntil([&] { return panel->HeardBuffers() >= 1; }));
  EXPECT_LT(panel->HeardBuffers(), 100u);  // from the start again
  ASSERT_TRUE(PumpUntil([&] { return host.ended > 0; }));
  PumpFor(50ms);
  EXPECT_EQ(host.ended, 1);
  EXPECT_TRUE(box.texts.isEmpty());
}

TEST_F(RealTimePanelTest, OpenWhilePlayingPlaysTheSecondMessageWhole) {
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("a.qrv", 30))));
  panel->Play();
  ASSERT_TRUE(PumpUntil([&] { return panel->HeardBuffers() >= 30; }));
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("b.qrv", 5))));
  EXPECT_EQ(panel->HeardBuffers(), 0u);
  panel->Play();
  std::uint64_t last = 0;
  ASSERT_TRUE(PumpUntil([&] {
    if (panel->HeardBuffers() > 0) last = panel->HeardBuffers();
    return host.ended > 0;
  }));
  EXPECT_EQ(host.ended, 1);
  EXPECT_GE(last, 45u);  // the last notices were seen before the end rewound
}

}  // namespace
}  // namespace kestrel
