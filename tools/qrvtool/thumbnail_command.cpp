#include "thumbnail_command.h"

#include <QImage>

#include <algorithm>

#include "message_format.h"
#include "message_scan.h"
#include "open_failure.h"
#include "picture_files.h"
#include "png_writer.h"

namespace kestrel::tool {

namespace {

constexpr int kDefaultSize = 128;
constexpr int kMaxSize = 1024;
constexpr std::size_t kWaveformSamples = 4 * kSampleRate;  // the first four seconds

}  // namespace

std::vector<std::uint8_t> DrawWaveform(const std::vector<std::int16_t>& samples) {
  const int w = kPictureWidth, h = kPictureHeight;
  std::vector<std::uint8_t> rgb(std::size_t(w) * h * 3, 0);
  auto plot = [&](int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::uint8_t* p = rgb.data() + (std::size_t(y) * w + x) * 3;
    p[0] = r;
    p[1] = g;
    p[2] = b;
  };
  for (int x = 0; x < w; ++x) plot(x, h / 2, 0, 96, 0);
  const std::size_t count = samples.size();
  for (int x = 0; x < w && count > 0; ++x) {
    const std::size_t from = count * x / w, to = std::max(from + 1, count * (x + 1) / w);
    int lo = 32767, hi = -32768;
    for (std::size_t i = from; i < to && i < count; ++i) {
      lo = std::min<int>(lo, samples[i]);
      hi = std::max<int>(hi, samples[i]);
    }
    auto row = [h](int v) { return std::clamp((h - 1) - (v + 32768) * (h - 1) / 65535, 0, h - 1); };
    for (int y = row(hi); y <= row(lo); ++y) plot(x, y, 31, 255, 31);
  }
  return rgb;
}

int RunThumbnail(const std::vector<std::string>& args, std::ostream& /*out*/, std::ostream& err) {
  if (args.size() < 2 || args.size() > 3) {
    err << "usage: qrvtool thumbnail FILE OUT.png [SIZE]\n";
    return kExitBadInput;
  }
  const std::string& message = args[0];
  const std::string& target = args[1];
  int size = kDefaultSize;
  if (args.size() == 3) {
    size = std::atoi(args[2].c_str());
    if (size < 1 || size > kMaxSize) {
      err << "qrvtool: SIZE takes 1 to " << kMaxSize << "\n";
      return kExitBadInput;
    }
  }

  std::vector<std::uint8_t> rgb;
  std::vector<std::int16_t> samples;
  ScanCallbacks callbacks;
  bool hasPictures = false;
  // Reading stops at the first picture, or once there is enough sound.
  callbacks.done = [&] { return !rgb.empty() || samples.size() >= kWaveformSamples; };
  callbacks.onPicture = [&](const std::uint8_t* picture, const PayloadCheck&) {
    if (hasPictures && rgb.empty()) rgb = UprightRgb(picture, kPictureWidth, kPictureHeight);
  };
  callbacks.onAudioFrame = [&](const std::int16_t* block) {
    if (!hasPictures) samples.insert(samples.end(), block, block + kSamplesPerAudioFrame);
  };
  // A message without a frame rate shows a waveform even if it holds pictures, as the player does.
  {
    CMessageFile probe;
    ScanOutcome header;
    header.open = probe.Open(message.c_str());
    header.systemError = probe.SystemError();
    if (header.open != OpenResult::Ok) return ReportOpenFailure(err, message, header);
    hasPictures = probe.FrameRate() > 0;
  }
  ScanMessage(message, callbacks);
  if (rgb.empty()) rgb = DrawWaveform(samples);

  const QImage picture(rgb.data(), kPictureWidth, kPictureHeight, kPictureWidth * 3, QImage::Format_RGB888);
  const QImage scaled = picture.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_RGB888);
  std::vector<std::uint8_t> rows(std::size_t(scaled.width()) * scaled.height() * 3);
  for (int y = 0; y < scaled.height(); ++y)
    std::copy_n(scaled.constScanLine(y), scaled.width() * 3, rows.data() + std::size_t(y) * scaled.width() * 3);
  std::string why;
  if (!WritePng(target, rows.data(), scaled.width(), scaled.height(), &why)) {
    err << "qrvtool: " << why << "\n";
    return kExitIoError;
  }
  return kExitOk;
}

}  // namespace kestrel::tool
