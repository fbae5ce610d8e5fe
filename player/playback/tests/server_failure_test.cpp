// The player's engine when the sound server fails under it: killed, stopped
// (SIGSTOP) and started again. Each test runs a PulseAudio server of its own,
// so that what it does to the server touches no other test.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "counting_panel.h"
#include "monitor_recorder.h"
#include "panel_host.h"
#include "playback_panel.h"
#include "private_pulse_server.h"
#include "pulse_wave_output.h"
#include "pump.h"
#include "recording_message_box.h"
#include "silent_wave_output.h"
#include "sound_blocks.h"
#include "string_table.h"
#include "support/message_builder.h"
#include "tone_audio.h"
#include "wave_device.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::PumpUntil;

// The longest any operation of the user interface may take against a server
// that does not answer: the deadline and a little.
constexpr auto kLongestWait = 2500ms;

// Three seconds of tone with a picture every 200 ms.
std::string ToneMessage() {
  const auto records = testing::ToneRecords(15, 440.0, 5);
  testing::MessageBuilder builder;
  builder.FrameRate(5);
  for (const auto& record : records) {
    builder.Video(testing::Encode(testing::EmptyFrame()));
    builder.Audio(record);
  }
  return builder.WriteTo(testing::TempPath("tone.qrv"));
}

class ServerFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.Start()) << "a private pulseaudio could not be started";
    path = QString::fromStdString(ToneMessage());
  }
  void TearDown() override {
    server.Thaw();
    panel.reset();
  }
  void MakePanel() {
    panel.reset();
    panel = std::make_unique<testing::CCountingPanel>(&host, services);
  }
  // Opens and plays until `buffers` have been heard.
  void PlayFor(int buffers) {
    ASSERT_TRUE(panel->Open(path));
    ASSERT_FALSE(panel->SoundOutput().UsesFallback()) << "the server did not take the stream";
    panel->Play();
    ASSERT_TRUE(PumpUntil([&] { return panel->heard >= buffers; }));
  }
  static std::chrono::milliseconds Took(const std::function<void()>& operation) {
    const auto start = Clock::now();
    operation();
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  }

  testing::CPrivatePulseServer server;
  CPulseWaveOutput sound{"kestrel failure test", kSoundRingBytes, std::string(), server.Address()};
  CSilentWaveOutput silent;  // real time
  testing::CRecordingMessageBox box;
  PlaybackServices services{&sound, &silent, &box, {}};
  testing::CPanelHost host;
  QString path;
  std::unique_ptr<testing::CCountingPanel> panel;
};

TEST_F(ServerFailureTest, KilledMidPlayTheMessageGoesOnSilentlyAndTheNextPlayIsHeard) {
  MakePanel();
  PlayFor(50);
  server.Kill();
  const auto killed = Clock::now();
  const int heardBefore = panel->heard;
  ASSERT_TRUE(PumpUntil([&] { return host.ended > 0; }, 10s)) << "the end was never reported";
  const auto took = Clock::now() - killed;

  ASSERT_EQ(box.texts.size(), 1);
  EXPECT_EQ(box.texts[0], LoadString(IDS_CANNOT_OPEN_AUDIO));
  EXPECT_EQ(box.parents[0], &host) << "over the main window";
  // Every buffer heard once, every picture shown, and the rest of the sound
  // took its time instead of being skipped.
  EXPECT_EQ(panel->heard, 150);
  EXPECT_EQ(panel->presented.load(), 15);
  EXPECT_GT(took, (150 - heardBefore) * 20ms - 400ms);
  EXPECT_EQ(host.ended, 1);

  // The server is back: the next Play uses it, and is heard.
  ASSERT_TRUE(server.Start());
  testing::CMonitorRecorder recording;
  ASSERT_TRUE(recording.Start(testing::CPrivatePulseServer::Monitor(), server.Address()));
  panel->Play();
  EXPECT_FALSE(panel->SoundOutput().UsesFallback());
  const bool heard = PumpUntil(
      [&] {
        const std::vector<std::int16_t> samples = recording.Samples();
        return std::any_of(samples.begin(), samples.end(), [](std::int16_t s) { return s != 0; });
      },
      10s);
  recording.Stop();
  EXPECT_TRUE(heard) << "nothing reached the sink's monitor";
  EXPECT_EQ(box.texts.size(), 1);
}

TEST_F(ServerFailureTest, AStoppedServerHoldsNoOperationLongerThanTheDeadline) {
  // Left alone while playing: noticed, told once, and time goes on.
  MakePanel();
  PlayFor(10);
  server.Freeze();
  ASSERT_TRUE(PumpUntil([&] { return !box.texts.isEmpty(); }, 5s)) << "a server that stopped went unnoticed";
  const int heardAtBox = panel->heard;
  ASSERT_TRUE(PumpUntil([&] { return panel->heard > heardAtBox + 10; }, 5s)) << "time stood still";
  EXPECT_TRUE(panel->SoundOutput().UsesFallback());
  server.Thaw();

  // Each operation of the window, the first to meet the stopped server.
  const std::vector<std::pair<const char*, std::function<void()>>> operations = {
      {"Pause", [&] { panel->Pause(); }},
      {"Stop", [&] { panel->Stop(); }},
      {"Close", [&] { panel->Close(); }},
      {"closing the window", [&] { panel.reset(); }},
  };
  for (const auto& [name, operation] : operations) {
    MakePanel();
    PlayFor(10);
    server.Freeze();
    const auto took = Took(operation);
    EXPECT_LT(took, kLongestWait) << name;
    std::printf("[ stopped  ] %s returned after %lld ms\n", name, static_cast<long long>(took.count()));
    server.Thaw();
  }

  server.Freeze();
  MakePanel();
  const std::size_t boxes = box.texts.size();
  bool opened = false;
  const auto took = Took([&] { opened = panel->Open(path); });
  EXPECT_LT(took, kLongestWait) << "Open";
  std::printf("[ stopped  ] Open returned after %lld ms\n", static_cast<long long>(took.count()));
  EXPECT_TRUE(opened);
  EXPECT_TRUE(panel->SoundOutput().UsesFallback());
  EXPECT_EQ(box.texts.size(), boxes + 1);
}

}  // namespace
}  // namespace kestrel
