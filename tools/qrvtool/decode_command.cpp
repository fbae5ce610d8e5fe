#include "decode_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "command_line.h"
#include "md5_digest.h"
#include "message_format.h"
#include "open_failure.h"
#include "picture_files.h"
#include "png_writer.h"
#include "progress.h"
#include "wav_writer.h"
#include "y4m_writer.h"

namespace kestrel::tool {

namespace {

constexpr const char* kUsage =
    "usage: qrvtool decode FILE [--pcm OUT] [--bgr OUT] [--wav OUT.wav] [--png DIR] [--y4m OUT.y4m] [--md5]";

// Pictures of a message without a frame rate are written at the rate the
// player's video window starts with.
constexpr int kFallbackFrameRate = 5;

// Collects every output the command line asked for; the first failure is kept.
class DecodeOutputs {
 public:
  bool Open(const ParsedArgs& args, int frameRate) {
    if (auto p = args.Value("--pcm")) pcm_ = OpenRaw(*p);
    if (auto p = args.Value("--bgr")) bgr_ = OpenRaw(*p);
    if (auto p = args.Value("--wav")) {
      wav_ = std::make_unique<WavWriter>();
      if (!wav_->Open(*p, kSampleRate, &error_)) return false;
    }
    if (auto p = args.Value("--png")) {
      pngDir_ = *p;
      std::error_code ec;
      std::filesystem::create_directories(*p, ec);
      if (ec) return Fail(*p + ": " + ec.message());
    }
    if (auto p = args.Value("--y4m")) {
      y4m_ = std::make_unique<Y4mWriter>();
      if (!y4m_->Open(*p, kPictureWidth, kPictureHeight, frameRate ? frameRate : kFallbackFrameRate, &error_))
        return false;
    }
    if (args.Flag("--md5")) {
      pcmMd5_ = std::make_unique<Md5Digest>();
      bgrMd5_ = std::make_unique<Md5Digest>();
    }
    return error_.empty();
  }

  void Samples(const std::int16_t* samples) {
    // Raw output is little-endian whatever the host; this host is.
    const std::size_t bytes = kSamplesPerAudioFrame * sizeof(std::int16_t);
    if (pcm_ && std::fwrite(samples, 1, bytes, pcm_.get()) != bytes) Fail("cannot write PCM output");
    if (wav_ && !wav_->Write(samples, kSamplesPerAudioFrame)) Fail("cannot write WAV output");
    if (pcmMd5_) pcmMd5_->Update(samples, bytes);
  }

  void Picture(const std::uint8_t* picture) {
    ++pictures_;
    if (bgr_ && std::fwrite(picture, 1, kPictureBytes, bgr_.get()) != kPictureBytes) Fail("cannot write BGR output");
    if (bgrMd5_) bgrMd5_->Update(picture, kPictureBytes);
    if (!pngDir_ && !y4m_) return;
    const auto rgb = UprightRgb(picture, kPictureWidth, kPictureHeight);
    if (pngDir_) {
      const auto path = (std::filesystem::path(*pngDir_) / NumberedFileName("frame", pictures_, ".png")).string();
      std::string why;
      if (!WritePng(path, rgb.data(), kPictureWidth, kPictureHeight, &why)) Fail(why);
    }
    if (y4m_ && !y4m_->WriteFrame(rgb.data())) Fail("cannot write Y4M output");
  }

  bool Finish(std::ostream& out) {
    if (pcm_ && std::fclose(pcm_.release()) != 0) Fail("cannot write PCM output");
    if (bgr_ && std::fclose(bgr_.release()) != 0) Fail("cannot write BGR output");
    std::string why;
    if (wav_ && !wav_->Close(&why)) Fail(why);
    if (y4m_ && !y4m_->Close(&why)) Fail(why);
    if (pcmMd5_) out << "pcm md5 " << pcmMd5_->Hex() << "\n" << "bgr md5 " << bgrMd5_->Hex() << "\n";
    return error_.empty();
  }

  const std::string& Error() const { return error_; }

 private:
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  using File = std::unique_ptr<std::FILE, FileCloser>;

  File OpenRaw(const std::string& path) {
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) Fail(path + ": " + std::strerror(errno));
    return f;
  }
  bool Fail(const std::string& why) {
    if (error_.empty()) error_ = why;
    return false;
  }

  File pcm_, bgr_;
  std::unique_ptr<WavWriter> wav_;
  std::unique_ptr<Y4mWriter> y4m_;
  std::optional<std::string> pngDir_;
  std::unique_ptr<Md5Digest> pcmMd5_, bgrMd5_;
  int pictures_ = 0;
  std::string error_;
};

}  // namespace

int RunDecode(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--pcm", "--bgr", "--wav", "--png", "--y4m"}, {"--md5"});
  if (!parsed.error.empty() || parsed.positional.size() != 1) {
    err << kUsage << (parsed.error.empty() ? "" : " (" + parsed.error + ")") << "\n";
    return kExitBadInput;
  }
  const std::string& path = parsed.positional[0];

  // Check the header before creating any output file.
  CMessageFile probe;
  ScanOutcome first;
  first.open = probe.Open(path.c_str());
  first.systemError = probe.SystemError();
  if (first.open != OpenResult::Ok) return ReportOpenFailure(err, path, first);
  const int frameRate = probe.FrameRate();
  probe.Close();

  DecodeOutputs outputs;
  if (!outputs.Open(parsed, frameRate)) {
    err << "qrvtool: " << outputs.Error() << "\n";
    return kExitIoError;
  }
  Progress progress(err, "decoding", StderrIsTerminal());
  ScanCallbacks callbacks;
  callbacks.onAudioFrame = [&](const std::int16_t* samples) { outputs.Samples(samples); };
  callbacks.onPicture = [&](const std::uint8_t* picture, const PayloadCheck&) { outputs.Picture(picture); };
  callbacks.onProgress = [&](double fraction) { progress.Update(fraction); };
  const ScanOutcome outcome = ScanMessage(path, callbacks);
  if (outcome.open != OpenResult::Ok) return ReportOpenFailure(err, path, outcome);
  if (outcome.decoderFailed) {
    err << "qrvtool: out of memory for the decoders\n";
    return kExitIoError;
  }
  if (!outputs.Finish(out)) {
    err << "qrvtool: " << outputs.Error() << "\n";
    return kExitIoError;
  }
  return kExitOk;
}

}  // namespace kestrel::tool
