#include "playback_panel.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QLabel>

#include "counting_panel.h"
#include "panel_host.h"
#include "playing_time.h"
#include "progress_bar.h"
#include "pump.h"
#include "recording_message_box.h"
#include "scripted_panel_fixture.h"
#include "scripted_wave_output.h"
#include "silent_wave_output.h"
#include "string_table.h"
#include "support/message_builder.h"
#include "tone_audio.h"
#include "video_decoder_api.h"
#include "video_window.h"
#include "video_window_sink.h"
#include "wave_device.h"
#include "waveform_scope.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using testing::CCountingPanel;
using testing::CPanelHost;
using testing::CRecordingMessageBox;
using testing::CScriptedWaveOutput;
using testing::DeliverPending;
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
class ScriptedPanelTest : public testing::CScriptedPanelFixture {
 protected:
  // Waits until `n` pictures have gone up and the video window has settled,
  // stopped or with none due, then tells whether exactly `n` went up.
  bool PresentedExactly(int n) {
    const CVideoWindow& window = panel->VideoWindow();
    const bool settled =
        PumpUntil([&] { return panel->presented.load() >= n && (window.IsWaiting() || !window.IsRunning()); });
    return settled && panel->presented.load() == n;
  }
};

TEST_F(ScriptedPanelTest, OpenShowsTheTotalAndPreparesWithoutPlaying) {
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("m.qrv", 30))));
  EXPECT_EQ(panel->Mode(), CPlaybackPanel::DisplayMode::Scope);
  EXPECT_EQ(panel->TotalText().toStdString(), "00 mins, 6.0 secs ");
  EXPECT_EQ(panel->CurrentText().toStdString(), "00 mins, 0.0 secs ");
  // The reader indexes the message first and then reads only while playing.
  ASSERT_TRUE(PumpUntil([&] { return panel->Reader().Index() != nullptr; }));
  DeliverPending();
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
  DeliverPending();  // a wake left over would end it twice
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

TEST_F(ScriptedPanelTest, OnlyARegularFileIsOpenedAndAFailedDecoderStateFailsOpen) {
  // A FIFO without a writer would hold the open (and the window) for good;
  // a device may never end; a directory is no message.
  const std::string fifo = TempPath("fifo.qrv");
  ::unlink(fifo.c_str());
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, std::string("/dev/zero"), TempPath("")}) {
    EXPECT_FALSE(panel->Open(QString::fromStdString(path))) << path;
    EXPECT_FALSE(panel->IsOpen()) << path;
  }
  ::unlink(fifo.c_str());

  services.createAudioDecoder = [] { return static_cast<AudioDecoderState*>(nullptr); };
  CCountingPanel starved(&host, services);
  EXPECT_FALSE(starved.Open(QString::fromStdString(SoundMessage("m.qrv", 3))));
  EXPECT_FALSE(starved.IsOpen());
  EXPECT_EQ(starved.Mode(), CPlaybackPanel::DisplayMode::None);
  EXPECT_TRUE(starved.TotalText().isEmpty());
  starved.Play();  // nothing to play, nothing to crash
  EXPECT_FALSE(starved.IsPlaying());
  EXPECT_TRUE(box.texts.isEmpty()) << "the caller reports the file; the sound device was never asked";
}

TEST_F(ScriptedPanelTest, AVideoDecoderThatCannotBeSetUpFailsOpenOfAMessageWithPictures) {
  services.initVideoDecoder = [] { return false; };
  CCountingPanel starved(&host, services);
  EXPECT_FALSE(starved.Open(QString::fromStdString(SoundMessage("pictures.qrv", 3, 5))));
  EXPECT_FALSE(starved.IsOpen());
  EXPECT_EQ(starved.Mode(), CPlaybackPanel::DisplayMode::None);
  EXPECT_TRUE(box.texts.isEmpty()) << "the caller reports the file; the sound device was never asked";
  EXPECT_TRUE(starved.Open(QString::fromStdString(SoundMessage("sound.qrv", 3)))) << "a sound-only message needs none";
}

TEST_F(ScriptedPanelTest, APictureThatDoesNotDecodeIsNotShown) {
  // The decoder reports itself set up but is not: every picture fails.
  services.initVideoDecoder = [] { return true; };
  ShutdownVideoDecoder();
  CCountingPanel unready(&host, services);
  ASSERT_TRUE(unready.Open(QString::fromStdString(SoundMessage("pictures.qrv", 4, 5))));
  unready.Play();
  // The whole message read: four records of sound, four pictures.
  ASSERT_TRUE(PumpUntil([&] { return output.Pending() >= 40; }));
  EXPECT_EQ(unready.VideoWindow().QueuedCount(), 0) << "no picture went into the queue";
  EXPECT_EQ(unready.presented.load(), 0);
  unready.Close();
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
    // Every third round, the reader is in full flight when Pause comes.
    if (round % 3 == 0) {
      ASSERT_TRUE(QueuedAtLeast(1)) << round;
    }
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
  MessageBuilder builder;
  builder.FrameRate(5).AudioFrameCount(0);
  for (int i = 0; i < 5; ++i) builder.Video(testing::Encode(testing::EmptyFrame()));
  ASSERT_TRUE(panel->Open(QString::fromStdString(builder.WriteTo(TempPath("pictures.qrv")))));
  EXPECT_EQ(panel->Mode(), CPlaybackPanel::DisplayMode::Video);
  // The header does not say how long: the pictures do, once looked through.
  ASSERT_TRUE(PumpUntil([&] { return panel->TotalText().toStdString() == "00 mins, 1.0 secs "; }))
      << panel->TotalText().toStdString();
  panel->Play();
  // Each picture at rate 5 brings 10 silent buffers, and goes up when the
  // ones before it have been heard.
  ASSERT_TRUE(QueuedAtLeast(50));
  ASSERT_TRUE(PresentedExactly(1));
  for (int i = 1; i < 5; ++i) {
    Hear(9);
    ASSERT_TRUE(PresentedExactly(i)) << i;
    Hear(1);
    ASSERT_TRUE(PresentedExactly(i + 1)) << i;
  }
  Hear(9);
  EXPECT_EQ(panel->CurrentText().toStdString(), TimeText(49));
  EXPECT_EQ(panel->ProgressBar().Leading(), 49);
  EXPECT_EQ(host.ended, 0);
  Hear(1);
  EXPECT_EQ(host.ended, 1);
}

TEST_F(ScriptedPanelTest, PicturesGoUpWhenTheSoundHeardReachesThemAndPauseKeepsThatSo) {
  // At rate 5 picture k is due after 10 k buffers; record by record, each
  // picture before its sound, as a recorder writes them.
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("av.qrv", 30, 5))));
  EXPECT_TRUE(PresentedExactly(0)) << "nothing before Play";
  panel->Play();
  ASSERT_TRUE(QueuedAtLeast(150));
  ASSERT_TRUE(PresentedExactly(1)) << "the first picture at Play";
  Hear(19);
  ASSERT_TRUE(PresentedExactly(2));
  Hear(1);
  ASSERT_TRUE(PresentedExactly(3));
  Hear(5);
  panel->Pause();
  panel->Play();
  ASSERT_TRUE(PresentedExactly(3)) << "Pause and Play do not move the pictures on";
  Hear(4);
  ASSERT_TRUE(PresentedExactly(3));
  Hear(1);
  ASSERT_TRUE(PresentedExactly(4));
  panel->Stop();
  panel->Play();
  ASSERT_TRUE(PresentedExactly(5)) << "from the start again, the first picture at Play";
}

TEST_F(ScriptedPanelTest, AHeaderCountWithoutSoundStillPacesEveryPicture) {
  MessageBuilder builder;
  builder.FrameRate(5).AudioFrameCount(250);
  for (int i = 0; i < 25; ++i) builder.Video(testing::Encode(testing::EmptyFrame()));
  ASSERT_TRUE(panel->Open(QString::fromStdString(builder.WriteTo(TempPath("counted.qrv")))));
  EXPECT_EQ(panel->TotalText().toStdString(), "00 mins, 5.0 secs ");
  panel->Play();
  int heard = 0;
  // Buffer by buffer; the end may come a moment after the last one, once
  // the last picture has gone up.
  while (heard < 400) {
    ASSERT_TRUE(PumpUntil([&] { return host.ended > 0 || output.Pending() > 0; })) << heard;
    if (host.ended > 0) break;
    Hear(1);
    ++heard;
  }
  EXPECT_EQ(heard, 250);
  EXPECT_EQ(host.ended, 1);
  EXPECT_EQ(panel->presented.load(), 25);
}

TEST_F(ScriptedPanelTest, OpenClearsThePreviousPicture) {
  host.show();
  MessageBuilder builder;
  builder.FrameRate(5);
  builder.Video(testing::Encode(testing::RandomFrame(3, testing::ValueSpread::AsFrequencies))).SilentAudio(3);
  ASSERT_TRUE(panel->Open(QString::fromStdString(builder.WriteTo(TempPath("busy.qrv")))));
  panel->Play();
  ASSERT_TRUE(PresentedExactly(1));
  const auto lit = [&] {
    QCoreApplication::processEvents();
    const QImage shown = panel->VideoWindow().grab().toImage();
    int count = 0;
    for (int y = 0; y < shown.height(); y += 8) {
      for (int x = 0; x < shown.width(); x += 8) count += qGray(shown.pixel(x, y)) > 0;
    }
    return count;
  };
  ASSERT_GT(lit(), 0) << "the first message's picture is up";
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("next.qrv", 3, 5))));
  EXPECT_EQ(lit(), 0);
}

TEST_F(ScriptedPanelTest, TheLongestTotalIsShownWholeAndCountsOnSixtyFourBits) {
  host.show();
  MessageBuilder builder;
  builder.AudioFrameCount(0xFFFFFFFFu).SilentAudio(1);
  ASSERT_TRUE(panel->Open(QString::fromStdString(builder.WriteTo(TempPath("long.qrv")))));
  EXPECT_EQ(panel->TotalText().toStdString(), "1431655 mins, 45.9 secs ");
  EXPECT_EQ(panel->ProgressBar().Total(), 0xFFFFFFFFll);
  const QLabel* total = panel->TotalLabel();
  EXPECT_LE(total->fontMetrics().horizontalAdvance(total->text()), total->contentsRect().width());
  EXPECT_FALSE(total->geometry().intersects(panel->CurrentCaption()->geometry()));
}

// The engine on the real-time silent device.
class RealTimePanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    services.soundOutput = &silent;
    services.silentOutput = &spare;
    services.messageBox = &box;
    panel = std::make_unique<CCountingPanel>(&host, services);
  }
  void TearDown() override { panel.reset(); }

  CSilentWaveOutput silent{10};  // ten times real time
  CSilentWaveOutput spare{10};
  CRecordingMessageBox box;
  PlaybackServices services;
  CPanelHost host;
  std::unique_ptr<CCountingPanel> panel;
};

TEST_F(RealTimePanelTest, PausePlayStopPlayAndTheEndReportedOnce) {
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("m.qrv", 50))));
  panel->Play();
  ASSERT_TRUE(PumpUntil([&] { return panel->HeardBuffers() >= 40; }));
  panel->Pause();
  const std::uint64_t paused = panel->HeardBuffers();
  // The silent output keeps (ten times) real time: only time passing can
  // show that nothing is heard while paused. 60 ms would be 30 buffers.
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
  DeliverPending();  // a wake left over would end it twice
  EXPECT_EQ(host.ended, 1);
  EXPECT_TRUE(box.texts.isEmpty());
}

TEST_F(RealTimePanelTest, PicturesAheadOfTheSoundOrAfterItAreAllShownAndTheMessageEnds) {
  // Twenty-five pictures before any sound: more than the picture queue
  // holds before the sound could start; then pictures that outlast it.
  MessageBuilder builder;
  builder.FrameRate(5);
  for (int i = 0; i < 25; ++i) builder.Video(testing::Encode(testing::EmptyFrame()));
  builder.SilentAudio(2);
  for (int i = 0; i < 10; ++i) builder.Video(testing::Encode(testing::EmptyFrame()));
  ASSERT_TRUE(panel->Open(QString::fromStdString(builder.WriteTo(TempPath("ahead.qrv")))));
  panel->Play();
  ASSERT_TRUE(PumpUntil([&] { return host.ended > 0; }, 20s));
  EXPECT_EQ(panel->presented.load(), 35);
  EXPECT_EQ(host.ended, 1);
}

TEST_F(RealTimePanelTest, OpenWhilePlayingPlaysTheSecondMessageWhole) {
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("a.qrv", 30))));
  panel->Play();
  ASSERT_TRUE(PumpUntil([&] { return panel->HeardBuffers() >= 30; }));
  ASSERT_TRUE(panel->Open(QString::fromStdString(SoundMessage("b.qrv", 5))));
  EXPECT_EQ(panel->HeardBuffers(), 0u);
  panel->heard = 0;
  panel->Play();
  ASSERT_TRUE(PumpUntil([&] { return host.ended > 0; }));
  EXPECT_EQ(host.ended, 1);
  EXPECT_EQ(panel->heard, 50) << "every buffer of the second message, and only those";
}

}  // namespace
}  // namespace kestrel
