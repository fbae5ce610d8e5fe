// The browser window listing a frames folder, on a real display (run it with
// window_bench.sh, which starts one with a window manager):
//   - FirstListing: the window created and shown as start-up does, until it
//     has listed every frame;
//   - HandOver: a second `stillbox` process started while the window runs,
//     until the window has re-read the folder for it; refresh_ms is the
//     re-reading alone (request to answer), second_copy_ms the second
//     process's whole run.
// Each at 1000 and 5000 frames. Targets: 1000 frames listed in 0.5 s or less
// both ways, and 5000 frames in no more than 5.5 times the time of 1000.
//
// usage: stillbox_listing_bench STILLBOX [benchmark options]
#include "browser_dlg.h"
#include "browser_events.h"
#include "frame_list.h"
#include "instance_guard.h"
#include "local_instance_channel.h"
#include "platform/desktop_shell_file_ops.h"
#include "platform/file_save_dialog.h"
#include "platform/local_directory_search.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGroupBox>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

namespace kestrel::stillbox {

namespace {

QString g_stillbox;

// One folder per frame count, painted once for all the runs.
const QTemporaryDir& FolderWith(int frames) {
  static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
  auto& folder = folders[frames];
  if (!folder) {
    folder = std::make_unique<QTemporaryDir>();
    const QDir dir(folder->filePath(QStringLiteral("Frames")));
    QDir().mkpath(dir.path());
    for (int i = 0; i < frames; ++i) {
      QImage image(320, 240, QImage::Format_RGB888);
      image.fill(QColor::fromHsv(i % 360, 200, 200));
      QPainter(&image).fillRect(i % 240, 40, 80, 80, Qt::black);
      image.save(dir.filePath(QStringLiteral("frame_%1.bmp").arg(i, 5, 10, QLatin1Char('0'))), "BMP");
    }
  }
  return *folder;
}

struct Services {
  explicit Services(const QString& folder) : saveDialog(folder) {}
  CLocalDirectorySearch search;
  CDesktopShellFileOps shell;
  CFileSaveDialog saveDialog;
};

// Runs the event loop until the window has listed `frames` frames.
bool WaitUntilListed(CBrowserDlg& window, int frames) {
  const QString done = QStringLiteral("%1 Frames").arg(frames);
  const QDeadlineTimer deadline(600000);
  while (!(window.List()->count() == frames && window.Group()->title() == done)) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

void BM_FirstListing(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  const QString folder = FolderWith(frames).path();
  Services services(folder);
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    // As start-up does: create, show, paint at once; the listing follows.
    auto* window = new CBrowserDlg(BrowserServices{services.search, services.shell, services.saveDialog}, folder);
    window->show();
    window->repaint();
    const bool listed = WaitUntilListed(*window, frames);
    state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    delete window;
    QCoreApplication::processEvents();
    if (!listed) {
      state.SkipWithError("the window did not list every frame");
      break;
    }
  }
}

// Times the refreshes the window is asked for: from the request's arrival
// to the end of its handling, after which the second copy gets its answer.
class RefreshWatch : public QObject {
 public:
  QElapsedTimer sinceStart;
  qint64 arrivedNs = -1;
  qint64 doneNs = -1;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != EventTypeForMessage(WM_REFRESH_FRAMES)) return false;
    arrivedNs = sinceStart.nsecsElapsed();
    static_cast<QObject*>(watched)->event(event);
    doneNs = sinceStart.nsecsElapsed();
    return true;
  }
};

void BM_HandOver(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  const QString folder = FolderWith(frames).path();
  Services services(folder);
  // This process is the running copy.
  kestrel::CLocalInstanceChannel channel;
  CInstanceGuard guard(channel);
  if (!guard.Claim(WM_REFRESH_FRAMES) || !guard.HoldsName()) {
    state.SkipWithError("another browser runs, or the name cannot be served");
    return;
  }
  auto* window = new CBrowserDlg(BrowserServices{services.search, services.shell, services.saveDialog}, folder);
  window->show();
  if (!WaitUntilListed(*window, frames)) state.SkipWithError("the window did not list every frame");
  RefreshWatch watch;
  window->installEventFilter(&watch);
  double refreshSeconds = 0;
  double secondCopySeconds = 0;
  for (auto _ : state) {
    QProcess second;
    QEventLoop loop;
    QObject::connect(&second, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&second, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    watch.arrivedNs = watch.doneNs = -1;
    watch.sinceStart.start();
    second.start(g_stillbox, {});
    loop.exec();
    const qint64 endedNs = watch.sinceStart.nsecsElapsed();
    if (second.exitStatus() != QProcess::NormalExit || second.exitCode() != 0 || watch.doneNs < 0) {
      state.SkipWithError("the second copy failed, or no refresh was asked for");
      break;
    }
    if (window->List()->count() != frames) {
      state.SkipWithError("the refresh did not list every frame");
      break;
    }
    // What a person sees: from the second start until the window has
    // listed the folder again.
    state.SetIterationTime(static_cast<double>(watch.doneNs) / 1e9);
    refreshSeconds += static_cast<double>(watch.doneNs - watch.arrivedNs) / 1e9;
    secondCopySeconds += static_cast<double>(endedNs) / 1e9;
  }
  const auto perRun = benchmark::Counter::kAvgIterations;
  state.counters["refresh_ms"] = benchmark::Counter(refreshSeconds * 1000, perRun);
  state.counters["second_copy_ms"] = benchmark::Counter(secondCopySeconds * 1000, perRun);
  delete window;
}

}  // namespace

}  // namespace kestrel::stillbox

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (argc < 2) {
    std::fputs("usage: stillbox_listing_bench STILLBOX [benchmark options]\n", stderr);
    return 2;
  }
  kestrel::stillbox::g_stillbox = QString::fromLocal8Bit(argv[1]);
  // Runs of each case; STILLBOX_BENCH_RUNS=1 for a quick look.
  const int runs =
      qEnvironmentVariableIsSet("STILLBOX_BENCH_RUNS") ? qEnvironmentVariableIntValue("STILLBOX_BENCH_RUNS") : 5;
  for (auto* bench : {benchmark::RegisterBenchmark("BM_FirstListing", kestrel::stillbox::BM_FirstListing),
                      benchmark::RegisterBenchmark("BM_HandOver", kestrel::stillbox::BM_HandOver)}) {
    bench->Arg(1000)->Arg(5000)->UseManualTime()->Iterations(std::max(runs, 1))->Unit(benchmark::kMillisecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
