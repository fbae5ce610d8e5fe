#include "audio_input.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "format_libraries.h"
#include "qrvtool.h"

namespace kestrel::tool {

namespace {

constexpr double kOutputRate = 8000.0;
// Samples read per block across all channels, whatever their number.
constexpr std::size_t kBlockSamples = 1 << 16;

SNDFILE* Sound(void* p) { return static_cast<SNDFILE*>(p); }
soxr_t Resampler(void* p) { return static_cast<soxr_t>(p); }

}  // namespace

AudioInput::~AudioInput() {
  if (soxr_) lib_->soxrDelete(Resampler(soxr_));
  if (sndfile_) lib_->sfClose(Sound(sndfile_));
}

int AudioInput::Open(const std::string& path, std::string* why) {
  if (!(lib_ = LoadFormatLibraries(why))) return kExitIoError;
  InputFile input;
  std::string reason;
  const bool opened = input.Open(path, &reason);
  name_ = input.Name();
  auto fail = [&](int status, const std::string& text) {
    if (why) *why = name_ + ": " + text;
    return status;
  };
  if (!opened) return fail(kExitIoError, reason);
  identity_ = input.Identity();
  SF_INFO info{};
  // libsndfile reads the descriptor as it comes: a pipe is read as a stream.
  sndfile_ = lib_->sfOpenFd(input.Descriptor(), SFM_READ, &info, SF_TRUE);
  if (!sndfile_)
    return fail(kExitBadInput, std::string("not a sound file libsndfile reads (") + lib_->sfStrerror(nullptr) + ")");
  input.TakeDescriptor();
  if (info.samplerate < kLowestInputRate || info.samplerate > kHighestInputRate)
    return fail(kExitBadInput, "a sample rate of " + std::to_string(info.samplerate) + " Hz is outside " +
                                   std::to_string(kLowestInputRate) + " to " + std::to_string(kHighestInputRate) +
                                   " Hz");
  if (info.channels < 1) return fail(kExitBadInput, "no sound channels");
  channels_ = info.channels;
  if (input.Size() >= 0 && info.frames > 0) totalFrames_ = info.frames;
  framesPerBlock_ = std::max<std::size_t>(1, kBlockSamples / static_cast<std::size_t>(channels_));
  block_.resize(framesPerBlock_ * static_cast<std::size_t>(channels_));
  mono_.resize(framesPerBlock_);
  if (info.samplerate != static_cast<int>(kOutputRate)) {
    const soxr_io_spec_t io = lib_->soxrIoSpec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = lib_->soxrQualitySpec(SOXR_HQ, 0);
    soxr_error_t error = nullptr;
    soxr_ = lib_->soxrCreate(info.samplerate, kOutputRate, 1, &error, &io, &quality, nullptr);
    if (!soxr_) return fail(kExitIoError, std::string("cannot resample: ") + (error ? error : "no memory"));
    resampled_.resize(static_cast<std::size_t>(std::ceil(framesPerBlock_ * kOutputRate / info.samplerate)) + 64);
  }
  return kExitOk;
}

void AudioInput::Append(const float* mono, std::size_t count) {
  // What has been handed out goes first, so the buffer holds one block at most.
  ready_.erase(ready_.begin(), ready_.begin() + static_cast<std::ptrdiff_t>(readyStart_));
  readyStart_ = 0;
  for (std::size_t i = 0; i < count; ++i)
    ready_.push_back(static_cast<std::int16_t>(std::clamp(std::lround(mono[i] * 32768.0f), -32768L, 32767L)));
}

bool AudioInput::Refill(std::string* why) {
  const sf_count_t frames =
      lib_->sfReadfFloat(Sound(sndfile_), block_.data(), static_cast<sf_count_t>(framesPerBlock_));
  if (frames < 0 || lib_->sfError(Sound(sndfile_)) != SF_ERR_NO_ERROR) {
    if (why) *why = name_ + ": " + lib_->sfStrerror(Sound(sndfile_));
    return false;
  }
  for (sf_count_t f = 0; f < frames; ++f) {
    float sum = 0;
    for (int c = 0; c < channels_; ++c) sum += block_[static_cast<std::size_t>(f) * channels_ + c];
    mono_[static_cast<std::size_t>(f)] = sum / static_cast<float>(channels_);
  }
  if (frames == 0) ended_ = true;
  framesRead_ += frames;
  if (!soxr_) {
    Append(mono_.data(), static_cast<std::size_t>(frames));
    return true;
  }
  // At the end, input null flushes what the resampler still holds.
  const float* in = frames > 0 ? mono_.data() : nullptr;
  std::size_t left = static_cast<std::size_t>(frames);
  do {
    std::size_t used = 0, made = 0;
    if (const soxr_error_t error =
            lib_->soxrProcess(Resampler(soxr_), in, left, &used, resampled_.data(), resampled_.size(), &made)) {
      if (why) *why = name_ + ": resampling failed: " + error;
      return false;
    }
    Append(resampled_.data(), made);
    if (in) {
      in += used;
      left -= used;
    } else if (made == 0) {
      break;
    }
  } while (left > 0 || !in);
  return true;
}

bool AudioInput::Read(std::int16_t* samples, std::size_t count, std::size_t& got, std::string* why) {
  got = 0;
  while (ready_.size() - readyStart_ < count && !ended_)
    if (!Refill(why)) return false;
  got = std::min(count, ready_.size() - readyStart_);
  std::copy_n(ready_.data() + readyStart_, got, samples);
  readyStart_ += got;
  return true;
}

double AudioInput::Fraction() const {
  return totalFrames_ > 0 ? std::min(1.0, double(framesRead_) / double(totalFrames_)) : -1.0;
}

bool LoadAudioAt8k(const std::string& path, std::vector<std::int16_t>& samples, std::string* error) {
  AudioInput input;
  if (input.Open(path, error) != kExitOk) return false;
  samples.clear();
  std::int16_t block[4096];
  for (std::size_t got = 0;;) {
    if (!input.Read(block, std::size(block), got, error)) return false;
    samples.insert(samples.end(), block, block + got);
    if (got < std::size(block)) return true;
  }
}

}  // namespace kestrel::tool
