// Against a real sound server: the test script starts one with an 8000 Hz
// mono null sink and names it in PULSE_SERVER and KESTREL_TEST_SINK.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <QProcess>

#include "panel_host.h"
#include "playback_panel.h"
#include "pulse_wave_output.h"
#include "pump.h"
#include "recording_message_box.h"
#include "silent_wave_output.h"
#include "support/message_builder.h"
#include "timer_thread_clock.h"
#include "tone_audio.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::PumpFor;
using testing::PumpUntil;

#define REQUIRE_SOUND_SERVER()                                                                      \
  do {                                                                                              \
    if (!std::getenv("PULSE_SERVER") || !std::getenv("KESTREL_TEST_SINK")) {                        \
      FAIL() << "PULSE_SERVER and KESTREL_TEST_SINK are not set: run the tests after sourcing "    \
                "scripts/test-services.sh, which starts the private sound server";                 \
    }                                                                                               \
  } while (0)

struct CountingListener : IWaveOutputListener {
  std::atomic<int> finished{0};
  void OnBufferFinished(std::uint32_t) override { ++finished; }
};

TEST(PulseWaveOutput, BuffersFinishAsTheyArePlayedAndResetGivesBackTheRest) {
  REQUIRE_SOUND_SERVER();
  CPulseWaveOutput output("kestrel test");
  CountingListener listener;
  ASSERT_TRUE(output.Open(WaveFormat{}, &listener));
  std::vector<std::uint8_t> buffers(150 * 320, 0);
  for (int i = 0; i < 50; ++i) output.Write(&buffers[i * 320], 320, 1);
  std::this_thread::sleep_for(150ms);
  EXPECT_EQ(listener.finished.load(), 0) << "opened paused: nothing may finish before Restart";

  const auto start = Clock::now();
  output.Restart();
  while (listener.finished.load() < 50 && Clock::now() - start < 5s) std::this_thread::sleep_for(2ms);
  EXPECT_EQ(listener.finished.load(), 50);
  // One second of sound cannot have been heard in much less than a second.
  EXPECT_GT(Clock::now() - start, 800ms);

  for (int i = 50; i < 150; ++i) output.Write(&buffers[i * 320], 320, 2);
  while (listener.finished.load() < 60 && Clock::now() - start < 10s) std::this_thread::sleep_for(2ms);
  output.Reset();
  EXPECT_EQ(listener.finished.load(), 150);

  // After the flush the stream goes on from where the server had read.
  for (int i = 0; i < 10; ++i) output.Write(&buffers[i * 320], 320, 3);
  output.Restart();
  const auto again = Clock::now();
  while (listener.finished.load() < 160 && Clock::now() - again < 5s) std::this_thread::sleep_for(2ms);
  EXPECT_EQ(listener.finished.load(), 160);
  output.Close();
}

TEST(PulseWaveOutput, OpenFailsWithoutAServer) {
  const char* saved = std::getenv("PULSE_SERVER");
  const std::string keep = saved ? saved : "";
  setenv("PULSE_SERVER", "unix:/nonexistent/kestrel-no-server", 1);
  CPulseWaveOutput output("kestrel test");
  CountingListener listener;
  EXPECT_FALSE(output.Open(WaveFormat{}, &listener));
  if (saved) {
    setenv("PULSE_SERVER", keep.c_str(), 1);
  } else {
    unsetenv("PULSE_SERVER");
  }
}

// Records the null sink's monitor with parec, noting when each piece arrives.
class MonitorRecording {
 public:
  bool Start() {
    const std::string monitor = std::string(std::getenv("KESTREL_TEST_SINK")) + ".monitor";
    QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { Read(); });
    process_.start("parec", {"--device=" + QString::fromStdString(monitor), "--format=s16le", "--rate=8000",
                             "--channels=1", "--raw", "--latency-msec=20"});
    return process_.waitForStarted(5000);
  }
  void Stop() {
    Read();
    process_.terminate();
    process_.waitForFinished(5000);
    Read();
  }
  const std::vector<std::int16_t>& Samples() const { return samples_; }
  // When the sample at `index` had arrived.
  Clock::time_point ArrivalOf(std::size_t index) const {
    for (const auto& [end, when] : arrivals_) {
      if (index < end) return when;
    }
    return Clock::time_point::max();
  }

 private:
  void Read() {
    const QByteArray data = process_.readAllStandardOutput();
    if (data.isEmpty()) return;
    pending_.append(data);
    const qsizetype whole = pending_.size() / 2 * 2;
    const std::size_t old = samples_.size();
    samples_.resize(old + static_cast<std::size_t>(whole / 2));
    std::memcpy(samples_.data() + old, pending_.constData(), static_cast<std::size_t>(whole));
    pending_.remove(0, whole);
    arrivals_.emplace_back(samples_.size(), Clock::now());
  }

  QProcess process_;
  QByteArray pending_;
  std::vector<std::int16_t> samples_;
  std::vector<std::pair<std::size_t, Clock::time_point>> arrivals_;
};

// Where `expected` starts in `recorded`, found by its second 200 ms (the very
// start can be hidden, see below).
std::ptrdiff_t FindStart(const std::vector<std::int16_t>& recorded, const std::vector<std::int16_t>& expected) {
  const std::size_t window = 1600;
  if (recorded.size() < 2 * window || expected.size() < 2 * window) return -1;
  for (std::size_t offset = window; offset + window <= recorded.size(); ++offset) {
    if (std::memcmp(&recorded[offset], &expected[window], window * 2) == 0) {
      return static_cast<std::ptrdiff_t>(offset - window);
    }
  }
  return -1;
}

TEST(PanelThroughPulse, PlaysTheDecodedSamplesBitExactAndEndsWithTheSound) {
  REQUIRE_SOUND_SERVER();
  const auto records = testing::ToneRecords(15, 440.0, 7);  // three seconds
  const std::vector<std::int16_t> expected = testing::DecodeRecords(records);
  testing::MessageBuilder builder;
  builder.FrameRate(5);
  for (std::size_t i = 0; i < records.size(); ++i) {
    builder.Audio(records[i]);
    builder.Video(testing::Encode(testing::RandomFrame(static_cast<std::uint32_t>(i), testing::ValueSpread::AsFrequencies)));
  }
  const std::string path = builder.WriteTo(testing::TempPath("tone.qrv"));

  CPulseWaveOutput sound("kestrel test");
  CSilentWaveOutput silent;
  CTimerThreadClock clock;
  testing::CRecordingMessageBox box;
  PlaybackServices services{&sound, &silent, &clock, &box};
  testing::CPanelHost host;
  auto panel = std::make_unique<CPlaybackPanel>(&host, services);

  MonitorRecording recording;
  ASSERT_TRUE(recording.Start()) << "parec could not be started";
  ASSERT_TRUE(PumpUntil([&] { return recording.Samples().size() >= 800; }, 10s)) << "the monitor records nothing";
  ASSERT_TRUE(panel->Open(QString::fromStdString(path)));
  EXPECT_TRUE(box.texts.isEmpty()) << "the sound device did not open";
  panel->Play();
  ASSERT_TRUE(PumpUntil([&] { return host.ended > 0; }, 20s));
  const auto ended = Clock::now();
  PumpFor(400ms);
  recording.Stop();
  EXPECT_EQ(host.ended, 1);

  if (const char* dump = std::getenv("KESTREL_DUMP_RECORDING")) {
    FILE* f = std::fopen(dump, "wb");
    std::fwrite(recording.Samples().data(), 2, recording.Samples().size(), f);
    std::fclose(f);
    f = std::fopen((std::string(dump) + ".expected").c_str(), "wb");
    std::fwrite(expected.data(), 2, expected.size(), f);
    std::fclose(f);
  }
  const std::ptrdiff_t start = FindStart(recording.Samples(), expected);
  ASSERT_GE(start, 0) << "the message's first 200 ms were not found in the " << recording.Samples().size()
                      << " recorded samples";
  ASSERT_GE(recording.Samples().size(), start + expected.size());
  // When the stream starts, the server rewinds the sink over what it had
  // already mixed ahead, so that the sound is heard at once; the monitor had
  // already delivered that stretch as silence and cannot take it back. So the
  // recording may show silence instead of the first few milliseconds, never
  // more than one buffer; everything after must be identical.
  const auto& recorded = recording.Samples();
  std::size_t hidden = 0;
  for (std::size_t i = 0; i < 2 * 160 && i < expected.size(); ++i) {
    if (recorded[start + i] != expected[i]) hidden = i + 1;
  }
  for (std::size_t i = 0; i < hidden; ++i) {
    ASSERT_EQ(recorded[start + i], 0) << "sample " << i << " differs and is not silence";
  }
  EXPECT_LE(hidden, 160u) << "silence in place of the first samples on the monitor";
  std::size_t differing = 0;
  for (std::size_t i = hidden; i < expected.size(); ++i) {
    if (recorded[start + i] != expected[i]) ++differing;
  }
  EXPECT_EQ(differing, 0u) << "of " << expected.size() - hidden << " samples after the first " << hidden;
  std::printf("[ monitor  ] %zu samples identical; the first %zu hidden by the start-up rewind\n",
              expected.size() - hidden - differing, hidden);

  const auto soundEnded = recording.ArrivalOf(static_cast<std::size_t>(start) + expected.size() - 1);
  const auto apart = std::chrono::duration_cast<std::chrono::milliseconds>(ended - soundEnded);
  std::printf("[ monitor  ] end reported %lld ms after the last sample reached the monitor\n",
              static_cast<long long>(apart.count()));
  EXPECT_LT(std::abs(apart.count()), 300) << "end reported " << apart.count() << " ms after the sound ended";
  panel.reset();
}

}  // namespace
}  // namespace kestrel
