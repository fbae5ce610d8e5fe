// End-to-end figures of the playback engine on the sound server named by
// PULSE_SERVER (run-bench.sh starts a private one):
//   - time from Open to the first sound reaching the server's sink,
//   - the share of one core the player uses while a message plays,
//   - how far apart the last picture and the end of the sound are,
//   - how far each picture goes up from its due time, the moment the sound
//     heard reaches k / rate seconds, with pauses at random points,
//   - how long Open of a 2 GB message takes and how long the event loop
//     goes unanswered meanwhile.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
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
#include "reader_thread.h"
#include "recording_message_box.h"
#include "silent_wave_output.h"
#include "sound_blocks.h"
#include "support/message_builder.h"
#include "tone_audio.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Runs a real event loop (sleeping between events, unlike the tests' busy
// pump) until `condition` holds, checking every `period`.
bool RunUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit,
              std::chrono::milliseconds period = std::chrono::milliseconds(10)) {
  QEventLoop loop;
  QTimer check;
  const auto deadline = Clock::now() + limit;
  bool met = condition();
  QObject::connect(&check, &QTimer::timeout, [&] {
    met = condition();
    if (met || Clock::now() > deadline) loop.quit();
  });
  if (!met) {
    check.start(static_cast<int>(period.count()));
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

// The panel, noting when each picture went up and each buffer was heard:
// the probe of the timing figures.
class TimedPanel : public CPlaybackPanel {
 public:
  static constexpr int kMostPictures = 4096;
  static constexpr int kMostBuffers = 1 << 16;

  TimedPanel(QWidget* parent, const PlaybackServices& services) : CPlaybackPanel(parent, services) {
    bufferTimes_.reserve(kMostBuffers);
  }
  // The presentation thread calls the override below: it must have ended
  // before this part of the object goes.
  ~TimedPanel() override { Close(); }
  void OnFramePresented() override {
    const int at = pictures_.fetch_add(1);
    if (at < kMostPictures) pictureTimes_[at] = Clock::now();
    CPlaybackPanel::OnFramePresented();
  }
  void OnBufferDone() override {
    lastBuffer_ = Clock::now();
    if (bufferTimes_.size() < kMostBuffers) bufferTimes_.push_back(lastBuffer_);
    CPlaybackPanel::OnBufferDone();
  }
  int Pictures() const { return std::min(pictures_.load(), kMostPictures); }
  Clock::time_point PictureTime(int k) const { return pictureTimes_[k]; }
  Clock::time_point LastPicture() const { return pictureTimes_[Pictures() - 1]; }
  Clock::time_point LastBuffer() const { return lastBuffer_; }
  // When the n-th buffer (counted from 1) had been heard.
  const std::vector<Clock::time_point>& BufferTimes() const { return bufferTimes_; }

 private:
  std::array<Clock::time_point, kMostPictures> pictureTimes_{};
  std::atomic<int> pictures_{0};
  std::vector<Clock::time_point> bufferTimes_;
  Clock::time_point lastBuffer_{};
};

// A null sink of the bench's own, so that nothing else is heard on it.
testing::CPrivateNullSink& Sink() {
  static testing::CPrivateNullSink sink(testing::UniqueSinkName("kestrel_bench"));
  return sink;
}

struct Rig {
  CPulseWaveOutput sound{"Kestrel Message Player", kSoundRingBytes, Sink().Name()};
  CSilentWaveOutput silent;
  testing::CRecordingMessageBox box;
  testing::CPanelHost host;
  std::unique_ptr<TimedPanel> panel;
  Rig() { panel = std::make_unique<TimedPanel>(&host, PlaybackServices{&sound, &silent, &box, {}}); }
};

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

// `seconds` of tone with pictures at `rate`, each picture before its sound
// as a recorder writes them.
std::string AvMessage(int seconds, int rate, const std::string& path) {
  const int records = seconds * 5;
  const auto sound = testing::ToneRecords(records, 440.0, 3);
  testing::MessageBuilder builder;
  builder.FrameRate(static_cast<std::uint8_t>(rate));
  int pictures = 0;
  for (int i = 0; i < records; ++i) {
    // Picture k belongs at k / rate seconds; record i starts at i / 5.
    while (pictures * 5 <= i * rate) {
      builder.Video(testing::Encode(
          testing::RandomFrame(static_cast<std::uint32_t>(pictures), testing::ValueSpread::AsFrequencies)));
      ++pictures;
    }
    builder.Audio(sound[i]);
  }
  WriteFile(path, builder.Bytes());
  return path;
}

std::string ToneMessage() { return AvMessage(2, 5, "/tmp/kestrel-bench-tone.qrv"); }

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
    testing::PumpUntil(
        [&] {
          const std::vector<std::int16_t> samples = recorder.Samples();
          for (std::size_t i = before; i < samples.size(); ++i) {
            if (samples[i] != 0) {
              first = i;
              return true;
            }
          }
          return false;
        },
        10s);
    delays.push_back(Ms(recorder.ArrivalOf(first) - opened));
    rig.panel->Close();
    recorder.Stop();
    if (!rig.box.texts.isEmpty()) std::fprintf(stderr, "the sound device did not open\n");
  }
  std::sort(delays.begin(), delays.end());
  std::printf("open-to-first-sound: median %.1f ms, min %.1f ms, max %.1f ms over %d runs\n", delays[delays.size() / 2],
              delays.front(), delays.back(), runs);
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
    std::printf(
        "last picture %.0f ms after Play, last buffer heard %.0f ms after Play, end reported %.0f ms after Play\n",
        Ms(rig.panel->LastPicture() - started), Ms(rig.panel->LastBuffer() - started), Ms(ended - started));
    std::printf("last picture to end of sound: %.0f ms\n", Ms(rig.panel->LastBuffer() - rig.panel->LastPicture()));
  }
  if (!rig.box.texts.isEmpty()) std::fprintf(stderr, "the sound device did not open: figures are without sound\n");
  return 0;
}

// Plays a message of `seconds` at `rate` pictures per second with ten pauses
// at random points, and measures each picture against the moment the sound
// heard reached its due time.
int AvSync(int seconds, int rate, std::uint32_t seed) {
  const std::string path = AvMessage(seconds, rate, "/tmp/kestrel-bench-av-" + std::to_string(seconds) + "s.qrv");
  Rig rig;
  if (!rig.panel->Open(QString::fromStdString(path))) return 1;
  const int buffers = seconds * 50;
  const int expected = seconds * rate;
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> where(25, buffers - 25);
  std::uniform_int_distribution<int> howLong(50, 800);
  std::vector<int> pauseAt(10);
  for (int& at : pauseAt) at = where(random);
  std::sort(pauseAt.begin(), pauseAt.end());
  std::size_t nextPause = 0;
  bool paused = false;
  Clock::time_point resumeAt{};
  std::vector<Clock::time_point> resumed;
  rig.panel->Play();
  const auto played = Clock::now();
  const bool ended = RunUntil(
      [&] {
        if (rig.host.ended > 0) return true;
        const int heard = static_cast<int>(rig.panel->BufferTimes().size());
        if (paused && Clock::now() >= resumeAt) {
          rig.panel->Play();
          resumed.push_back(Clock::now());
          paused = false;
        } else if (!paused && nextPause < pauseAt.size() && heard >= pauseAt[nextPause]) {
          rig.panel->Pause();
          paused = true;
          resumeAt = Clock::now() + std::chrono::milliseconds(howLong(random));
          ++nextPause;
        }
        return false;
      },
      std::chrono::seconds(seconds + 30), std::chrono::milliseconds(2));
  if (!ended) {
    std::fprintf(stderr, "the end of the message was not reported\n");
    return 1;
  }
  // Picture k is due when the count of heard buffers reaches k x 50 / rate
  // (the first at Play): the moment the notice that brought the count there
  // was handled.
  const std::vector<Clock::time_point>& heardAt = rig.panel->BufferTimes();
  std::vector<double> late;
  for (int k = 0; k < rig.panel->Pictures(); ++k) {
    const std::uint64_t due = CReaderThread::DueOf(static_cast<std::uint64_t>(k), rate);
    const Clock::time_point dueAt = due == 0 ? played : heardAt[due - 1];
    late.push_back(Ms(rig.panel->PictureTime(k) - dueAt));
  }
  std::vector<double> sorted = late;
  std::sort(sorted.begin(), sorted.end(), [](double a, double b) { return std::abs(a) < std::abs(b); });
  double sum = 0;
  for (double value : late) sum += value;
  std::printf("%d s at %d per second, %zu pauses: %d of %d pictures shown, %zu buffers heard of %d\n", seconds, rate,
              nextPause, rig.panel->Pictures(), expected, heardAt.size(), buffers);
  if (!late.empty()) {
    std::printf(
        "picture against the heard position: mean %+.1f ms, 95th percentile |%.1f| ms, worst %+.1f ms\n",
        sum / static_cast<double>(late.size()), std::abs(sorted[sorted.size() * 95 / 100]),
        *std::max_element(late.begin(), late.end(), [](double a, double b) { return std::abs(a) < std::abs(b); }));
  }
  // Where the worst ones were: how long after Play (or the last Play).
  std::vector<int> order(late.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = static_cast<int>(k);
  std::sort(order.begin(), order.end(), [&](int a, int b) { return std::abs(late[a]) > std::abs(late[b]); });
  for (std::size_t i = 0; i < std::min<std::size_t>(3, order.size()); ++i) {
    const Clock::time_point shown = rig.panel->PictureTime(order[i]);
    Clock::time_point lastPlay = played;
    for (const Clock::time_point at : resumed) {
      if (at <= shown) lastPlay = at;
    }
    std::printf("  picture %d: %+.1f ms, %.0f ms after the last Play\n", order[i], late[order[i]],
                Ms(shown - lastPlay));
  }
  if (!rig.box.texts.isEmpty()) std::fprintf(stderr, "the sound device did not open: figures are without sound\n");
  return rig.panel->Pictures() == expected ? 0 : 1;
}

// Open and Play of `path`, then three seconds of the event loop: how long
// Open and Play took, and the longest the loop went without running a 5 ms
// timer.
void TimeOpen(const char* what, const std::string& path) {
  Rig rig;
  const auto start = Clock::now();
  const bool opened = rig.panel->Open(QString::fromStdString(path));
  rig.panel->Play();
  const double openMs = Ms(Clock::now() - start);
  double longestGap = 0;
  Clock::time_point last = Clock::now();
  RunUntil(
      [&] {
        const auto now = Clock::now();
        longestGap = std::max(longestGap, Ms(now - last));
        last = now;
        return now - start > std::chrono::seconds(3);
      },
      std::chrono::seconds(10), std::chrono::milliseconds(5));
  rig.panel->Close();
  std::printf("%s: %s, Open and Play took %.1f ms, then the event loop answered within %.1f ms\n", what,
              opened ? "opened" : "NOT OPENED", openMs, longestGap);
}

// A 2 GB message whose header gives a frame rate and no count, sparse (its
// records read as silence), beside the demo message as the baseline.
int OpenLarge(const std::string& demo) {
  const std::string path = "/tmp/kestrel-bench-large.qrv";
  std::vector<std::uint8_t> header = testing::MessageBuilder().FrameRate(5).AudioFrameCount(0).Bytes();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const bool made = fd >= 0 && ::write(fd, header.data(), header.size()) == static_cast<ssize_t>(header.size()) &&
                    ::ftruncate(fd, off_t{2} << 30) == 0;
  if (fd >= 0) ::close(fd);
  if (!made) {
    std::fprintf(stderr, "cannot make %s\n", path.c_str());
    return 1;
  }
  TimeOpen("2 GB message", path);
  TimeOpen("demo message", demo);
  ::unlink(path.c_str());
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
  if (what == "av-sync") {
    const std::uint32_t seed = argc > 2 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1;
    const int first = kestrel::AvSync(60, 5, seed);
    const int second = kestrel::AvSync(20, 1, seed + 1);
    return first != 0 ? first : second;
  }
  if (what == "open-large" && argc > 2) return kestrel::OpenLarge(argv[2]);
  std::fprintf(stderr,
               "usage: playback_bench first-sound [runs] | play MESSAGE.qrv | av-sync [seed] | open-large DEMO.qrv\n");
  return 2;
}
