// Against a real sound server: the test script starts one and names it in
// PULSE_SERVER. Each test plays on an 8000 Hz mono null sink of its own, so
// that other tests playing at the same time are not heard in its recording.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "audio_decoder.h"
#include "message_file.h"
#include "message_format.h"
#include "monitor_recorder.h"
#include "panel_host.h"
#include "playback_panel.h"
#include "private_null_sink.h"
#include "pulse_wave_output.h"
#include "pump.h"
#include "recording_message_box.h"
#include "silent_wave_output.h"
#include "sound_blocks.h"
#include "support/message_builder.h"
#include "tone_audio.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::PumpUntil;

#define REQUIRE_SOUND_SERVER()                                                                     \
  do {                                                                                             \
    if (!std::getenv("PULSE_SERVER")) {                                                            \
      FAIL() << "PULSE_SERVER is not set: run the tests after sourcing scripts/test-services.sh, " \
                "which starts the private sound server";                                           \
    }                                                                                              \
  } while (0)

struct CountingListener : IWaveOutputListener {
  std::atomic<int> finished{0};
  std::atomic<int> lost{0};
  void OnBufferFinished(std::uint32_t) override { ++finished; }
  void OnDeviceLost() override { ++lost; }
};

TEST(PulseWaveOutput, BuffersFinishAsTheyArePlayedAndResetGivesBackTheRest) {
  REQUIRE_SOUND_SERVER();
  testing::CPrivateNullSink sink(testing::UniqueSinkName("kestrel_output"));
  ASSERT_TRUE(sink.Loaded());
  CPulseWaveOutput output("kestrel test", kSoundRingBytes, sink.Name());
  CountingListener listener;
  ASSERT_TRUE(output.Open(WaveFormat{}, &listener));
  std::vector<std::uint8_t> buffers(150 * 320, 0);
  for (int i = 0; i < 50; ++i) output.Write(&buffers[i * 320], 320, 1);
  // Time passing is the point: a corked stream finishes nothing however
  // long it waits, and 150 ms would be seven buffers played.
  std::this_thread::sleep_for(150ms);
  EXPECT_EQ(listener.finished.load(), 0) << "opened paused: nothing may finish before Restart";
  EXPECT_FALSE(output.IsPolling()) << "the server is not asked while nothing plays";

  const auto start = Clock::now();
  output.Restart();
  EXPECT_TRUE(output.IsPolling());
  while (listener.finished.load() < 50 && Clock::now() - start < 5s) std::this_thread::sleep_for(2ms);
  EXPECT_EQ(listener.finished.load(), 50);
  // One second of sound cannot have been heard in much less than a second.
  EXPECT_GT(Clock::now() - start, 800ms);

  // A hundred buffers in one write finish one by one, and the reset gives
  // back each of those not yet heard.
  output.Write(&buffers[50 * 320], 100 * 320, 2);
  while (listener.finished.load() < 60 && Clock::now() - start < 10s) std::this_thread::sleep_for(2ms);
  EXPECT_LT(listener.finished.load(), 100) << "the whole write finished at once";
  output.Reset();
  EXPECT_EQ(listener.finished.load(), 150);
  EXPECT_FALSE(output.IsPolling());

  // After the flush the stream goes on from where the server had read.
  for (int i = 0; i < 10; ++i) output.Write(&buffers[i * 320], 320, 3);
  output.Restart();
  const auto again = Clock::now();
  while (listener.finished.load() < 160 && Clock::now() - again < 5s) std::this_thread::sleep_for(2ms);
  EXPECT_EQ(listener.finished.load(), 160);
  output.Pause();
  EXPECT_FALSE(output.IsPolling());
  EXPECT_EQ(listener.lost.load(), 0);
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

// Where `expected` starts in `recorded`, matched on its loudest 200 ms (quiet
// stretches of decoded speech repeat, and the very start can be hidden, see
// below).
std::ptrdiff_t FindStart(const std::vector<std::int16_t>& recorded, const std::vector<std::int16_t>& expected) {
  const std::size_t window = 1600;
  std::size_t from = 0;
  long long loudest = -1;
  for (std::size_t at = 320; at + window <= expected.size(); at += 160) {
    long long energy = 0;
    for (std::size_t i = at; i < at + window; ++i) energy += std::abs(expected[i]);
    if (energy > loudest) {
      loudest = energy;
      from = at;
    }
  }
  if (loudest <= 0) return -1;
  for (std::size_t offset = from; offset + window <= recorded.size(); ++offset) {
    if (std::memcmp(&recorded[offset], &expected[from], window * 2) == 0) {
      return static_cast<std::ptrdiff_t>(offset - from);
    }
  }
  return -1;
}

// Every sample the player's decoder makes of the message's audio records.
std::vector<std::int16_t> DecodedSound(const std::string& path) {
  CMessageFile file;
  std::vector<std::int16_t> samples;
  if (file.Open(path.c_str()) != OpenResult::Ok) return samples;
  std::vector<std::uint8_t> payload(kPayloadBufferBytes);
  AudioDecoderState* decoder = CreateAudioDecoder();
  std::int16_t block[kSamplesPerAudioFrame];
  for (Record record = file.ReadRecord(payload.data()); record.kind != RecordKind::EndOfData;
       record = file.ReadRecord(payload.data())) {
    if (record.kind != RecordKind::Audio) continue;
    for (std::size_t f = 0; f < kAudioFramesPerRecord; ++f) {
      DecodeAudioFrame(decoder, payload.data() + f * kAudioFrameBytes, block);
      samples.insert(samples.end(), block, block + kSamplesPerAudioFrame);
    }
  }
  DestroyAudioDecoder(decoder);
  return samples;
}

// Plays the message through the panel on the server while recording the
// sink's monitor; what was heard must be what was decoded, and the end must
// come when the sound ends.
// A panel playing on a null sink of its own, whose monitor is recorded from
// before the message is opened.
struct PulsePanelRig {
  explicit PulsePanelRig(const std::string& stem)
      : sink(testing::UniqueSinkName(stem)), sound("kestrel test", kSoundRingBytes, sink.Name()) {}

  // Starts the recording and opens `path`; fails the test when the server
  // cannot be used.
  void Open(const std::string& path) {
    ASSERT_TRUE(sink.Loaded()) << "no null sink could be loaded";
    panel = std::make_unique<CPlaybackPanel>(&host, services);
    ASSERT_TRUE(recording.Start(sink.Monitor())) << "the sink's monitor cannot be recorded";
    ASSERT_TRUE(PumpUntil([&] { return recording.Count() >= 800; }, 10s)) << "the monitor records nothing";
    ASSERT_TRUE(panel->Open(QString::fromStdString(path)));
    EXPECT_TRUE(box.texts.isEmpty()) << "the sound device did not open";
  }

  testing::CPrivateNullSink sink;
  CPulseWaveOutput sound;
  CSilentWaveOutput silent;
  testing::CRecordingMessageBox box;
  PlaybackServices services{&sound, &silent, &box, {}};
  testing::CPanelHost host;
  testing::CMonitorRecorder recording;
  std::unique_ptr<CPlaybackPanel> panel;
};

// After the end: the monitor records 400 ms more of the sink, by the
// server's clock, so that the recording holds whatever the sink still had
// to play (and the event loop runs meanwhile, to deliver a second end).
bool RecordFurther(const testing::CMonitorRecorder& recording) {
  const std::size_t atEnd = recording.Count();
  return PumpUntil([&] { return recording.Count() >= atEnd + 400 * kSampleRate / 1000; }, 10s);
}

// Plays the message through the panel on the server while recording the
// sink's monitor; what was heard must be what was decoded, and the end must
// come when the sound ends.
void PlayAndCompare(const std::string& path, const std::vector<std::int16_t>& expected) {
  ASSERT_GT(expected.size(), 3200u);
  PulsePanelRig rig("kestrel_panel");
  rig.Open(path);
  if (::testing::Test::HasFatalFailure()) return;
  auto& panel = rig.panel;
  auto& host = rig.host;
  auto& recording = rig.recording;
  panel->Play();
  ASSERT_TRUE(PumpUntil([&] { return host.ended > 0; }, 20s));
  const auto ended = Clock::now();
  ASSERT_TRUE(RecordFurther(recording));
  recording.Stop();
  EXPECT_EQ(host.ended, 1);

  const std::vector<std::int16_t> recorded = recording.Samples();
  const std::ptrdiff_t start = FindStart(recorded, expected);
  ASSERT_GE(start, 0) << "the message's sound was not found in the " << recorded.size() << " recorded samples";
  ASSERT_GE(recorded.size(), start + expected.size());
  // When the stream starts, the server rewinds the sink over what it had
  // already mixed ahead, so that the sound is heard at once; the monitor had
  // already delivered that stretch as silence and cannot take it back. So the
  // recording may show silence instead of the first few milliseconds (no
  // more than the sink mixes ahead: 20 ms here, 40 ms allowed); everything
  // after must be identical.
  std::size_t hidden = 0;
  for (std::size_t i = 0; i < 2 * 160 && i < expected.size(); ++i) {
    if (recorded[start + i] != expected[i]) hidden = i + 1;
  }
  for (std::size_t i = 0; i < hidden; ++i) {
    ASSERT_EQ(recorded[start + i], 0) << "sample " << i << " differs and is not silence";
  }
  EXPECT_LE(hidden, 320u) << "silence in place of the first samples on the monitor";
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

TEST(PanelThroughPulse, PlaysAMessageBitExactAndEndsWithTheSound) {
  REQUIRE_SOUND_SERVER();
  const auto records = testing::ToneRecords(15, 440.0, 7);  // three seconds
  testing::MessageBuilder builder;
  builder.FrameRate(5);
  for (std::size_t i = 0; i < records.size(); ++i) {
    builder.Audio(records[i]);
    builder.Video(
        testing::Encode(testing::RandomFrame(static_cast<std::uint32_t>(i), testing::ValueSpread::AsFrequencies)));
  }
  const std::string path = builder.WriteTo(testing::TempPath("tone.qrv"));
  const std::vector<std::int16_t> expected = testing::DecodeRecords(records);
  ASSERT_EQ(DecodedSound(path), expected);
  PlayAndCompare(path, expected);
}

TEST(PanelThroughPulse, PlaysTheDemoMessageBitExactAndEndsWithTheSound) {
  REQUIRE_SOUND_SERVER();
  const std::string path = KESTREL_SAMPLES_DIR "/demo.qrv";
  PlayAndCompare(path, DecodedSound(path));
}

// Walks a recording: silence, then each segment in turn from its start as
// far as it was played (the last one whole), with silence between them and
// nothing else. A segment's first 320 samples may show as silence, or as the
// end of the one before: the sink had mixed that much ahead and delivered it
// to the monitor before the rewind that puts the new sound in its place
// (the start-up rewind, above).
void ExpectHeardInTurn(const std::vector<std::int16_t>& recorded,
                       const std::vector<std::vector<std::int16_t>>& segments) {
  constexpr std::size_t kHidden = 320;
  constexpr std::size_t kWindow = 800;
  std::size_t at = 0;
  for (std::size_t s = 0; s < segments.size(); ++s) {
    const std::vector<std::int16_t>& segment = segments[s];
    ASSERT_GT(segment.size(), kHidden + kWindow);
    std::size_t start = recorded.size();
    for (std::size_t p = s > 0 && at > kHidden ? at - kHidden : at; p + kHidden + kWindow <= recorded.size(); ++p) {
      if (std::memcmp(&recorded[p + kHidden], &segment[kHidden], kWindow * 2) == 0) {
        start = p;
        break;
      }
    }
    ASSERT_LT(start, recorded.size()) << "segment " << s << " was not heard after sample " << at;
    for (std::size_t i = at; i < start; ++i) {
      ASSERT_EQ(recorded[i], 0) << "before segment " << s << ", sample " << i << " is sound of none of them";
    }
    for (std::size_t i = 0; i < kHidden; ++i) {
      if (start + i < at) continue;  // the end of the segment before
      ASSERT_TRUE(recorded[start + i] == segment[i] || recorded[start + i] == 0) << "segment " << s << ", " << i;
    }
    std::size_t heard = kHidden;
    while (start + heard < recorded.size() && heard < segment.size() && recorded[start + heard] == segment[heard]) {
      ++heard;
    }
    if (s + 1 == segments.size()) {
      EXPECT_EQ(heard, segment.size()) << "the last segment is heard whole";
    }
    std::printf("[ monitor  ] segment %zu: %zu samples heard from sample %zu\n", s, heard, start);
    at = start + heard;
  }
  for (std::size_t i = at; i < recorded.size(); ++i) ASSERT_EQ(recorded[i], 0) << "after the end, sample " << i;
}

TEST(PanelThroughPulse, SeeksHearTheMessageFromTheTargetAndNothingFromBefore) {
  REQUIRE_SOUND_SERVER();
  const auto records = testing::ToneRecords(20, 520.0, 9);  // four seconds
  testing::MessageBuilder builder;
  builder.FrameRate(5);
  for (std::size_t i = 0; i < records.size(); ++i) {
    builder.Video(
        testing::Encode(testing::RandomFrame(static_cast<std::uint32_t>(i), testing::ValueSpread::AsFrequencies)));
    builder.Audio(records[i]);
  }
  const std::string path = builder.WriteTo(testing::TempPath("tone.qrv"));
  // What a fresh decoder makes of the message from frame 103 (in record 10).
  const std::vector<std::int16_t> whole = testing::DecodeRecords(records);
  const std::vector<std::int16_t> fromRecord = testing::DecodeRecords({records.begin() + 10, records.end()});
  const std::vector<std::int16_t> fromTarget(fromRecord.begin() + 3 * kSamplesPerAudioFrame, fromRecord.end());

  PulsePanelRig rig("kestrel_seek");
  rig.Open(path);
  if (HasFatalFailure()) return;
  auto& panel = rig.panel;
  panel->Play();
  ASSERT_TRUE(PumpUntil([&] { return panel->HeardBuffers() >= 30; }, 10s));
  panel->Seek(103);  // while playing, to the middle
  ASSERT_TRUE(PumpUntil([&] { return panel->HeardBuffers() >= 133; }, 10s));
  panel->Pause();
  panel->Seek(0);  // while paused, to the start
  panel->Play();
  ASSERT_TRUE(PumpUntil([&] { return rig.host.ended > 0; }, 20s));
  ASSERT_TRUE(RecordFurther(rig.recording));
  rig.recording.Stop();
  EXPECT_EQ(rig.host.ended, 1);
  ExpectHeardInTurn(rig.recording.Samples(), {whole, fromTarget, whole});
  panel.reset();
}

}  // namespace
}  // namespace kestrel
