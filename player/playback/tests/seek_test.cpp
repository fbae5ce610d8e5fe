// Seeking: what is heard, shown and told after a move to another time, on
// the command-driven device (exact) and on the real-time silent one (many
// seeks while the threads run).
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "counting_panel.h"
#include "message_format.h"
#include "panel_host.h"
#include "playback_panel.h"
#include "playing_time.h"
#include "progress_bar.h"
#include "pump.h"
#include "recording_message_box.h"
#include "scripted_panel_fixture.h"
#include "silent_wave_output.h"
#include "support/message_builder.h"
#include "tone_audio.h"
#include "video_decoder.h"
#include "video_window.h"
#include "wave_device.h"
#include "waveform_scope.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using testing::CCountingPanel;
using testing::CPanelHost;
using testing::MessageBuilder;
using testing::PumpFor;
using testing::PumpUntil;
using testing::TempPath;

using Picture = std::vector<std::uint8_t>;

std::string TimeText(std::uint64_t frames) {
  char text[64];
  FormatPlayingTime(text, sizeof text, frames);
  return text;
}

// A message as a recorder writes it, at `rate` pictures a second (0: sound
// only): record by record, a picture before its 200 ms of tone. Keeps what
// the player should make of it.
struct ToneMessage {
  ToneMessage(const std::string& name, int records, std::uint8_t rate) : rate(rate) {
    sound = testing::ToneRecords(records, 470.0, 11);
    MessageBuilder builder;
    builder.FrameRate(rate);
    CVideoDecoder decoder;
    decoder.Init();
    decoder.SetQuality(3);
    for (int i = 0; i < records; ++i) {
      if (rate > 0) {
        const auto payload = testing::Encode(
            testing::RandomFrame(static_cast<std::uint32_t>(100 + i), testing::ValueSpread::AsFrequencies));
        builder.Video(payload);
        pictures.emplace_back(kPictureBytes);
        decoder.Decode(payload.data(), payload.size(), pictures.back().data(), false);
      }
      builder.Audio(sound[i]);
    }
    path = QString::fromStdString(builder.WriteTo(TempPath(name)));
  }

  // The blocks heard from `target` on: the records from the one holding it,
  // decoded with a fresh state, without the frames before the target.
  std::vector<std::int16_t> From(std::uint64_t target) const {
    const std::size_t record = target / kAudioFramesPerRecord;
    const std::vector<std::int16_t> all =
        testing::DecodeRecords({sound.begin() + static_cast<std::ptrdiff_t>(record), sound.end()});
    return {all.begin() + static_cast<std::ptrdiff_t>(target % kAudioFramesPerRecord * kSamplesPerAudioFrame),
            all.end()};
  }

  std::uint8_t rate;
  std::vector<std::vector<std::uint8_t>> sound;
  std::vector<Picture> pictures;
  QString path;
};

class SeekTest : public testing::CScriptedPanelFixture {
 protected:
  // The reader of a message with pictures has read all it can: the picture
  // queue is full, and the next picture waits for the sound.
  bool PicturesQueueFull() {
    return PumpUntil([&] { return panel->VideoWindow().QueuedCount() == 19; });
  }
  // The picture on screen, and when it was due.
  std::pair<Picture, std::uint64_t> Shown() {
    Picture picture(kPictureBytes);
    std::uint64_t due = 0;
    EXPECT_TRUE(panel->VideoWindow().CopyShownPicture(picture.data(), &due));
    return {picture, due};
  }
  // At least `blocks` blocks have reached the output since the last ForgetWrites.
  bool WrittenAtLeast(std::size_t blocks) {
    return PumpUntil([&] { return output.Writes().size() >= blocks; });
  }
  // The blocks written since the last ForgetWrites equal `expected` from its
  // start (all of them written, and nothing else).
  void ExpectWritten(const std::vector<std::int16_t>& expected, std::size_t blocks) {
    const auto writes = output.Writes();
    ASSERT_EQ(writes.size(), blocks);
    for (std::size_t i = 0; i < blocks; ++i) {
      ASSERT_EQ(std::memcmp(writes[i].data, &expected[i * kSamplesPerAudioFrame], kSamplesPerAudioFrame * 2), 0)
          << "block " << i << " after the seek";
    }
  }
  void ExpectPosition(std::uint64_t frames) {
    EXPECT_EQ(panel->HeardBuffers(), frames);
    EXPECT_EQ(panel->CurrentText().toStdString(), TimeText(frames));
    EXPECT_EQ(panel->ProgressBar().Leading(), static_cast<std::int64_t>(frames));
    EXPECT_EQ(panel->ProgressBar().Trailing(), frames >= 88 ? static_cast<std::int64_t>(frames) - 87 : 0);
  }
};

TEST_F(SeekTest, WhilePlayingTheTargetIsHeardShownAndToldAndPlayGoesOn) {
  const ToneMessage message("av.qrv", 40, 5);  // 8 s, picture k due at 10 k
  ASSERT_TRUE(panel->Open(message.path));
  panel->Play();
  ASSERT_TRUE(PicturesQueueFull());
  Hear(37);
  ASSERT_TRUE(PumpUntil([&] { return panel->presented.load() == 4; }));
  ASSERT_TRUE(PicturesQueueFull());
  output.ForgetWrites();
  panel->Seek(153);
  EXPECT_TRUE(panel->IsPlaying());
  ExpectPosition(153);
  auto [picture, due] = Shown();
  EXPECT_EQ(due, 150u);
  EXPECT_TRUE(picture == message.pictures[15]) << "the picture due at 3.0 s is up at once";

  // From the target on, and nothing else: the rest of the record holding
  // it, then record by record until pictures 16 to 34 wait for their time.
  ASSERT_TRUE(PicturesQueueFull());
  ExpectWritten(message.From(153), 7 + 18 * 10);
  Hear(6);
  EXPECT_TRUE(Shown().first == message.pictures[15]);
  Hear(1);
  ASSERT_TRUE(PumpUntil([&] { return Shown().second == 160; }));
  EXPECT_TRUE(Shown().first == message.pictures[16]);
  ExpectPosition(160);

  // Back to the start, still playing, from the first record.
  ASSERT_TRUE(PicturesQueueFull());
  output.ForgetWrites();
  panel->Seek(0);
  ExpectPosition(0);
  EXPECT_TRUE(Shown().first == message.pictures[0]);
  ASSERT_TRUE(PicturesQueueFull());
  ExpectWritten(message.From(0), 19 * 10);

  // Past the end: over, as at the end of the message.
  panel->Seek(400);
  EXPECT_EQ(host.ended, 1);
  EXPECT_FALSE(panel->IsPlaying());
  EXPECT_TRUE(panel->CurrentText().isEmpty());
  EXPECT_EQ(panel->SoundOutput().QueuedCount(), 0);
  EXPECT_EQ(panel->VideoWindow().QueuedCount(), 0);
}

TEST_F(SeekTest, WhilePausedOrStoppedTheTargetIsShownAndPlayStartsThere) {
  const ToneMessage message("av.qrv", 40, 5);
  ASSERT_TRUE(panel->Open(message.path));
  panel->Play();
  ASSERT_TRUE(PicturesQueueFull());
  Hear(120);
  panel->Pause();
  panel->Seek(0);
  EXPECT_FALSE(panel->IsPlaying());
  EXPECT_EQ(output.Pending(), 0) << "nothing from before the seek is kept";
  ExpectPosition(0);
  EXPECT_TRUE(Shown().first == message.pictures[0]);

  panel->Seek(222);
  ExpectPosition(222);
  EXPECT_TRUE(Shown().first == message.pictures[22]);
  PumpFor(30ms);  // only time can show that nothing is read
  EXPECT_EQ(output.Pending(), 0) << "paused, nothing is read";
  output.ForgetWrites();
  panel->Play();
  ASSERT_TRUE(QueuedAtLeast(400 - 222));
  ASSERT_TRUE(WrittenAtLeast(400 - 222));
  ExpectWritten(message.From(222), 400 - 222);
  Hear(8);
  ASSERT_TRUE(PumpUntil([&] { return Shown().second == 230; }));
  EXPECT_TRUE(Shown().first == message.pictures[23]);

  // From the stopped state the message waits, paused, at the target.
  panel->Stop();
  panel->Seek(395);
  ExpectPosition(395);
  EXPECT_FALSE(panel->IsPlaying());
  EXPECT_TRUE(Shown().first == message.pictures[39]);
  panel->Play();
  ASSERT_TRUE(QueuedAtLeast(5));
  Hear(5);
  ASSERT_TRUE(PumpUntil([&] { return host.ended > 0; }));
  EXPECT_EQ(host.ended, 1) << "the last five frames, and the end";

  // Paused past the end: over as well.
  panel->Play();
  ASSERT_TRUE(QueuedAtLeast(50));
  panel->Pause();
  panel->Seek(1000);
  EXPECT_EQ(host.ended, 2);
  EXPECT_TRUE(panel->CurrentText().isEmpty());
}

TEST_F(SeekTest, TheScopeOfASoundOnlyMessageFollowsTheTarget) {
  const ToneMessage message("sound.qrv", 40, 0);
  ASSERT_TRUE(panel->Open(message.path));
  panel->Play();
  ASSERT_TRUE(QueuedAtLeast(240));
  Hear(30);
  ASSERT_TRUE(QueuedAtLeast(240));
  output.ForgetWrites();
  panel->Seek(301);
  ExpectPosition(301);
  ASSERT_TRUE(QueuedAtLeast(99));
  ASSERT_TRUE(WrittenAtLeast(99));
  ASSERT_TRUE(PumpUntil([&] { return panel->Scope().PendingSamples() >= 99; }));
  ExpectWritten(message.From(301), 99);
  // The values waiting to be plotted are those of the sound after the seek.
  EXPECT_EQ(panel->Scope().PendingSamples(), 99);
  Picture none(kPictureBytes);
  std::uint64_t due = 0;
  EXPECT_FALSE(panel->VideoWindow().CopyShownPicture(none.data(), &due)) << "no picture to show";
}

TEST_F(SeekTest, ASeekAskedBeforeTheIndexIsReadyIsDoneOnceItIs) {
  MessageBuilder builder;
  builder.FrameRate(5);
  const auto picture = testing::Encode(testing::EmptyFrame());
  for (int i = 0; i < 20000; ++i) builder.Video(picture).SilentAudio(1);
  ASSERT_TRUE(panel->Open(QString::fromStdString(builder.WriteTo(TempPath("long.qrv")))));
  panel->Seek(100005);
  ASSERT_TRUE(PumpUntil([&] { return panel->HeardBuffers() == 100005; }));
  ExpectPosition(100005);
  EXPECT_EQ(Shown().second, 100000u);
}

// On the real-time device: seeks at random moments, to random places (some
// past the end), while the reader, the presentation thread and the sound
// output run; then the message plays out. Nothing of it may be left.
TEST(SeekWhilePlaying, AHundredRandomSeeksLeaveNoThreadBufferOrPictureBehind) {
  CSilentWaveOutput sound{10};
  CSilentWaveOutput spare{10};
  testing::CRecordingMessageBox box;
  PlaybackServices services{&sound, &spare, &box, {}};
  CPanelHost host;
  auto panel = std::make_unique<CCountingPanel>(&host, services);
  const ToneMessage message("av.qrv", 50, 5);  // 10 s
  ASSERT_TRUE(panel->Open(message.path));
  panel->Play();
  // Seeks asked before the index is ready wait for it (tested above).
  ASSERT_TRUE(PumpUntil([&] { return panel->Reader().Index() != nullptr; }));
  std::mt19937 rng(7);
  for (int i = 0; i < 100; ++i) {
    PumpFor(std::chrono::milliseconds(rng() % 15));
    if (!panel->IsPlaying()) panel->Play();  // it may have played to its end
    const int ends = host.ended;
    const std::uint64_t target = rng() % 550;
    panel->Seek(target);
    if (target >= 500) {
      ASSERT_EQ(host.ended, ends + 1) << "seek " << i;
      continue;
    }
    ASSERT_EQ(host.ended, ends) << "seek " << i;
    ASSERT_TRUE(panel->IsPlaying()) << "seek " << i;
    ASSERT_EQ(panel->HeardBuffers(), target) << "seek " << i;
    Picture shown(kPictureBytes);
    std::uint64_t due = 0;
    ASSERT_TRUE(panel->VideoWindow().CopyShownPicture(shown.data(), &due));
    ASSERT_EQ(due, target / 10 * 10) << "seek " << i;
    ASSERT_TRUE(shown == message.pictures[target / 10]) << "seek " << i;
  }
  if (!panel->IsPlaying()) panel->Play();
  const int ends = host.ended;
  panel->Seek(440);
  panel->presented = 0;
  ASSERT_TRUE(PumpUntil([&] { return host.ended > ends; }, 20s));
  ASSERT_TRUE(PumpUntil([&] { return panel->presented.load() >= 5; }));
  testing::DeliverPending();
  EXPECT_EQ(host.ended, ends + 1);
  EXPECT_EQ(panel->presented.load(), 5) << "pictures 45 to 49, after the one the seek put up";
  EXPECT_EQ(panel->SoundOutput().QueuedCount(), 0);
  EXPECT_EQ(panel->VideoWindow().QueuedCount(), 0);
  EXPECT_FALSE(panel->VideoWindow().IsRunning());
  panel->Close();
  EXPECT_FALSE(panel->Reader().IsRunning());
}

}  // namespace
}  // namespace kestrel
