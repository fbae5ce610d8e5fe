// End-to-end figures of the playback engine on the sound server named by
// PULSE_SERVER (scripts/bench-playback.sh starts a private one):
//   - time from Open to the first sound reaching the server's sink,
//   - the share of one core the player uses while a message plays,
//   - how far apart the last picture and the end of the sound are.
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include "monitor_recorder.h"
#include "panel_host.h"
#include "playback_panel.h"
#include "private_null_sink.h"
#include "pulse_wave_output.h"
#include "pump.h"
#include "recording_message_box.h"
#include "silent_wave_output.h"
#include "support/message_builder.h"
#include "tone_audio.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Runs a real event loop (sleeping between events, unlike the tests' busy
// pump) until `condition` holds, checking every 10 ms.
bool RunUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  QEventLoop loop;
  QTimer check;
  const auto deadline = Clock::now() + limit;
  bool met = condition();
  QObject::connect(&check, &QTimer::timeout, [&] {
    met = condition();
    if (met || Clock::now() > deadline) loop.quit();
  });
  if (!met) {
    check.start(10);
    loop.exec();
  }
  return met;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The panel, noting when each picture went up and each buffer was heard.
class TimedPanel : public CPlaybackPanel {
 public:
  using CPlaybackPanel::CPlaybackPanel;
  void OnFramePresented() override {
    const int at = pictures_.fetch_add(1);
    if (at < static_cast<int>(pictureTimes_.size())) pictureTimes_[at] = Clock::now();
    CPlaybackPanel::OnFramePresented();
  }
  void OnBufferDone() override {
    lastBuffer_ = Clock::now();
    CPlaybackPanel::OnBufferDone();
  }
  int Pictures() const { return pictures_.load(); }
  Clock::time_point LastPicture() const { return pictureTimes_[std::min(Pictures(), 4096) - 1]; }
  Clock::time_point LastBuffer() const { return lastBuffer_; }

 private:
  std::array<Clock::time_point, 4096> pictureTimes_{};
  std::atomic<int> pictures_{0};
  Clock::time_point lastBuffer_{};
};

// A null sink of the bench's own, so that nothing else is heard on it.
testing::CPrivateNullSink& Sink() {
  static testing::CPrivateNullSink sink(testing::UniqueSinkName("kestrel_bench"));
  return sink;
}

struct Rig {
  CPulseWaveOutput sound{"Kestrel Message Player", 250 * 320, Sink().Name()};
  CSilentWaveOutput silent;
  testing::CRecordingMessageBox box;
  testing::CPanelHost host;
  std::unique_ptr<TimedPanel> panel;
  Rig() { panel = std::make_unique<TimedPanel>(&host, PlaybackServices{&sound, &silent, &box, {}}); }
};

std::string ToneMessage() {
  const auto records = testing::ToneRecords(10, 440.0, 3);
  testing::MessageBuilder builder;
  builder.FrameRate(5);
  for (std::size_t i = 0; i < records.size(); ++i) {
    builder.Audio(records[i]);
    builder.Video(testing::Encode(testing::RandomFrame(static_cast<std::uint32_t>(i), testing::ValueSpread::AsFrequencies)));
  }
  const std::vector<std::uint8_t> bytes = builder.Bytes();
  const std::string path = "/tmp/kestrel-bench-tone.qrv";
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  return path;
}

int FirstSound(int runs) {
  const std::string path = ToneMessage();
  const std::string monitor = Sink().Monitor();
  std::vector<double> delays;
  for (int run = 0; run < runs; ++run) {
    Rig rig;
    testing::CMonitorRecorder recorder;
    if (!recorder.Start(monitor)) {
      std::fprintf(stderr, "cannot record %s\n", monitor.c_str());
      return 1;
    }
    testing::PumpUntil([&] { return recorder.Count() >= 1600; }, 10s);
    testing::PumpFor(200ms);
    const std::size_t before = recorder.Count();
    const auto opened = Clock::now();
    rig.panel->Open(QString::fromStdString(path));
    rig.panel->Play();
    std::size_t first = 0;
    testing::PumpUntil([&] {
      const std::vector<std::int16_t> samples = recorder.Samples();
      for (std::size_t i = before; i < samples.size(); ++i) {
        if (samples[i] != 0) {
          first = i;
          return true;
        }
      }
      return false;
    }, 10s);
    delays.push_back(Ms(recorder.ArrivalOf(first) - opened));
    rig.panel->Close();
    recorder.Stop();
    if (!rig.box.texts.isEmpty()) std::fprintf(stderr, "the sound device did not open\n");
  }
  std::sort(delays.begin(), delays.end());
  std::printf("open-to-first-sound: median %.1f ms, min %.1f ms, max %.1f ms over %d runs\n",
              delays[delays.size() / 2], delays.front(), delays.back(), runs);
  return 0;
}

int PlayMessage(const std::string& path) {
  Rig rig;
  if (!rig.panel->Open(QString::fromStdString(path))) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    return 1;
  }
  const double cpuBefore = CpuSeconds();
  const auto started = Clock::now();
  rig.panel->Play();
  if (!RunUntil([&] { return rig.host.ended > 0; }, 120s)) {
    std::fprintf(stderr, "the end of the message was not reported\n");
    return 1;
  }
  const auto ended = Clock::now();
  const double cpu = CpuSeconds() - cpuBefore;
  const double wall = Ms(ended - started) / 1000.0;
  std::printf("message: %s\n", path.c_str());
  std::printf("played for %.2f s wall, %.3f s CPU: %.2f %% of one core\n", wall, cpu, 100.0 * cpu / wall);
  std::printf("pictures shown: %d\n", rig.panel->Pictures());
  if (rig.panel->Pictures() > 0) {
    std::printf("last picture %.0f ms after Play, last buffer heard %.0f ms after Play, end reported %.0f ms after Play\n",
                Ms(rig.panel->LastPicture() - started), Ms(rig.panel->LastBuffer() - started), Ms(ended - started));
    std::printf("last picture to end of sound: %.0f ms\n", Ms(rig.panel->LastBuffer() - rig.panel->LastPicture()));
  }
  if (!rig.box.texts.isEmpty()) std::fprintf(stderr, "the sound device did not open: figures are without sound\n");
  return 0;
}

}  // namespace
}  // namespace kestrel

int main(int argc, char** argv) {
  if (!std::getenv("PULSE_SERVER")) {
    std::fprintf(stderr, "playback_bench: PULSE_SERVER must name a sound server\n");
    return 2;
  }
  if (!kestrel::Sink().Loaded()) {
    std::fprintf(stderr, "playback_bench: no null sink could be loaded on the server\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string what = argc > 1 ? argv[1] : "";
  if (what == "first-sound") return kestrel::FirstSound(argc > 2 ? std::atoi(argv[2]) : 10);
  if (what == "play" && argc > 2) return kestrel::PlayMessage(argv[2]);
  std::fprintf(stderr, "usage: playback_bench first-sound [runs] | play MESSAGE.qrv\n");
  return 2;
}
