// Listing a frames directory of 1000 frames into the browser window, as the
// first start and every Refresh do. Target: under one second.
#include "browser_dlg.h"
#include "frame_list.h"
#include "platform/desktop_shell_file_ops.h"
#include "platform/file_save_dialog.h"
#include "platform/local_directory_search.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

namespace {

constexpr int kFrameCount = 1000;

void PaintFrames(const QString& framesDir) {
  QDir().mkpath(framesDir);
  for (int i = 0; i < kFrameCount; ++i) {
    QImage image(320, 240, QImage::Format_RGB888);
    image.fill(QColor::fromHsv(i % 360, 200, 200));
    QPainter painter(&image);
    painter.fillRect(i % 240, 40, 80, 80, Qt::black);
    painter.end();
    image.save(QDir(framesDir).filePath(QStringLiteral("frame_%1.bmp").arg(i, 4, 10, QLatin1Char('0'))), "BMP");
  }
}

void BM_ListThousandFrames(benchmark::State& state) {
  QTemporaryDir folder;
  PaintFrames(folder.filePath(QStringLiteral("Frames")));
  CLocalDirectorySearch search;
  CDesktopShellFileOps shell;
  CFileSaveDialog saveDialog(folder.path());
  auto* window = new CBrowserDlg(BrowserServices{search, shell, saveDialog}, folder.path());
  window->show();
  for (auto _ : state) {
    window->RefreshFrames();
  }
  if (window->List()->count() != kFrameCount) state.SkipWithError("not every frame was listed");
  state.counters["frames"] = window->List()->count();
  delete window;
}
BENCHMARK(BM_ListThousandFrames)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
