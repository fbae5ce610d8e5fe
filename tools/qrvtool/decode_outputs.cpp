#include "decode_outputs.h"

#include "format_libraries.h"
#include "message_format.h"
#include "picture_files.h"

namespace kestrel::tool {

namespace {

// Pictures of a message without a frame rate are written at the rate the
// player's video window starts with.
constexpr int kFallbackFrameRate = 5;

}  // namespace

bool DecodeOutputs::Open(const DecodeRequest& request, int frameRate, std::string* why) {
  noClobber_ = request.noClobber;
  auto open = [&](const std::optional<std::string>& target, OutputFile& file, bool& has) {
    if (!target) return true;
    has = true;
    return file.Open(*target, request.noClobber, why);
  };
  if (!open(request.pcm, pcm_, hasPcm_) || !open(request.bgr, bgr_, hasBgr_) || !open(request.wav, wav_, hasWav_) ||
      !open(request.y4m, y4m_, hasY4m_))
    return false;
  if (hasWav_ && !wavWriter_.Open(wav_, kSampleRate)) return wav_.Finish(why);
  if (hasY4m_ && !y4mWriter_.Open(y4m_, kPictureWidth, kPictureHeight, frameRate ? frameRate : kFallbackFrameRate))
    return y4m_.Finish(why);
  if (request.png) {
    png_ = std::make_unique<PngFolderOutput>();
    if (!png_->Open(*request.png, why)) return false;
  }
  if (request.md5 || request.verify) {
    if (!LoadFormatLibraries(why)) return false;
    pcmMd5_ = std::make_unique<Md5Digest>();
    bgrMd5_ = std::make_unique<Md5Digest>();
  }
  return true;
}

void DecodeOutputs::Samples(const std::int16_t* samples) {
  // Raw output is little-endian whatever the host; this host is.
  const std::size_t bytes = kSamplesPerAudioFrame * sizeof(std::int16_t);
  if (hasPcm_ && !pcm_.Write(samples, bytes)) failed_ = true;
  if (hasWav_ && !wavWriter_.Write(samples, kSamplesPerAudioFrame)) failed_ = true;
  if (pcmMd5_) pcmMd5_->Update(samples, bytes);
}

void DecodeOutputs::Prepare(const std::uint8_t* picture, std::vector<std::uint8_t>& prepared) const {
  if (hasY4m_)
    Y4mWriter::FramePlanes(UprightRgb(picture, kPictureWidth, kPictureHeight).data(), kPictureWidth, kPictureHeight,
                           prepared);
}

void DecodeOutputs::Picture(const std::uint8_t* picture, const std::vector<std::uint8_t>& prepared) {
  if (hasBgr_ && !bgr_.Write(picture, kPictureBytes)) failed_ = true;
  if (bgrMd5_) bgrMd5_->Update(picture, kPictureBytes);
  if (hasY4m_ && !y4mWriter_.WritePlanes(prepared)) failed_ = true;
  if (!png_) return;
  const auto rgb = UprightRgb(picture, kPictureWidth, kPictureHeight);
  if (std::string why; !png_->Write(rgb.data(), kPictureWidth, kPictureHeight, &why)) Fail(why);
}

void DecodeOutputs::Fail(const std::string& why) {
  failed_ = true;
  if (error_.empty()) error_ = why;
}

int DecodeOutputs::Commit(const FileIdentity& input, std::string* why) {
  if (!error_.empty()) {
    if (why) *why = error_;
    return kExitIoError;
  }
  if (hasWav_) wavWriter_.Close();
  // Every file complete and on disk before any replaces its target.
  for (auto [file, has] : {std::pair{&pcm_, hasPcm_}, {&bgr_, hasBgr_}, {&wav_, hasWav_}, {&y4m_, hasY4m_}})
    if (has && !file->Finish(why)) return kExitIoError;
  if (png_)
    if (const int status = png_->Commit({input}, noClobber_, why); status != kExitOk) return status;
  for (auto [file, has] : {std::pair{&pcm_, hasPcm_}, {&bgr_, hasBgr_}, {&wav_, hasWav_}, {&y4m_, hasY4m_}})
    if (has && !file->Commit(why)) return kExitIoError;
  return kExitOk;
}

}  // namespace kestrel::tool
