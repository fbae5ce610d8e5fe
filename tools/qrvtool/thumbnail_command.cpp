#include "thumbnail_command.h"

#include <algorithm>
#include <cerrno>

#include "command_line.h"
#include "message_format.h"
#include "message_scan.h"
#include "output_file.h"
#include "picture_files.h"
#include "png_writer.h"
#include "qt_services.h"

namespace kestrel::tool {

namespace {

constexpr long kDefaultSize = 128;
constexpr long kMaxSize = 1024;
constexpr std::size_t kWaveformSamples = 4 * kSampleRate;  // the first four seconds

const CommandSpec kThumbnail = {"thumbnail",
                                "FILE OUT.png [SIZE] [OPTION]...",
                                "Writes the first picture of a message (a waveform of its first four seconds\n"
                                "for a sound-only message) scaled to fit SIZE x SIZE pixels (1 to 1024,\n"
                                "default 128) as a PNG. FILE may be '-' for standard input and OUT.png '-'\n"
                                "for standard output. Reading stops at the first picture. Needs no display.",
                                {},
                                2,
                                3,
                                true,
                                nullptr};

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

int RunThumbnail(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed;
  if (auto status = ParseCommandLine(kThumbnail, args, parsed, out, err)) return *status;
  const std::string& target = parsed.operands[1];
  long size = kDefaultSize;
  if (parsed.operands.size() == 3 && !ParseWholeNumber(parsed.operands[2], 1, kMaxSize, size))
    return UsageError(kThumbnail, err,
                      "SIZE takes 1 to " + std::to_string(kMaxSize) + ", not '" + parsed.operands[2] + "'");

  Reporter report(out, err, false);
  std::string why;
  const QtServices* qt = LoadQtServices(&why);
  if (!qt) return report.Fail(kExitIoError, why);
  MessageInput message;
  if (const int status = message.Open(parsed.operands[0], report); status != kExitOk) return status;
  if (const int status = CheckOutputs({{target, false}}, {message.identity}, parsed.noClobber, report);
      status != kExitOk)
    return status;

  // The first picture, or a waveform of the first four seconds of sound;
  // reading stops at whichever comes first. A message without a frame rate
  // shows a waveform even if it holds pictures, as the player does.
  const bool hasPictures = message.file.FrameRate() > 0;
  std::vector<std::uint8_t> rgb;
  std::vector<std::int16_t> samples;
  ScanCallbacks callbacks;
  callbacks.done = [&] { return !rgb.empty() || samples.size() >= kWaveformSamples; };
  if (hasPictures)
    callbacks.onPicture = [&](const std::uint8_t* picture, const PayloadCheck&, const std::vector<std::uint8_t>&) {
      rgb = UprightRgb(picture, kPictureWidth, kPictureHeight);
    };
  callbacks.onAudioFrame = [&](const std::int16_t* block) {
    samples.insert(samples.end(), block, block + kSamplesPerAudioFrame);
  };
  if (ScanMessage(message, callbacks).decoderFailed) return report.Fail(kExitIoError, "out of memory for the decoders");
  if (rgb.empty()) rgb = DrawWaveform(samples);

  const ScaledPicture scaled = qt->scaleToFit(rgb.data(), kPictureWidth, kPictureHeight, static_cast<int>(size));
  OutputFile png;
  if (!png.Open(target, parsed.noClobber, &why)) return report.Fail(kExitIoError, why);
  if (!WritePng(png.Stream(), scaled.rgb.data(), scaled.width, scaled.height)) png.NoteFailure(errno);
  if (!png.Commit(&why)) return report.Fail(kExitIoError, why);
  return kExitOk;
}

}  // namespace kestrel::tool
