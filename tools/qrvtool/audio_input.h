// Sound from any file libsndfile reads, delivered in blocks as 8000 Hz mono
// 16-bit samples: the channels mixed to their mean, resampled by libsoxr
// (high quality) as the file is read, rounded to 16 bits with clipping.
// Memory stays the same whatever the length of the sound.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "input_file.h"

namespace kestrel::tool {

struct FormatLibraries;

// Rates outside this range are not sound a message can be recorded from.
inline constexpr int kLowestInputRate = 1000;
inline constexpr int kHighestInputRate = 768000;

class AudioInput {
 public:
  AudioInput() = default;
  ~AudioInput();
  AudioInput(const AudioInput&) = delete;
  AudioInput& operator=(const AudioInput&) = delete;

  // Returns the exit status: 0; 1 when the system refused the file; 2 when
  // it is no sound file libsndfile reads or its rate or channels are absurd.
  // `why` holds "NAME: reason".
  int Open(const std::string& path, std::string* why);
  FileIdentity Identity() const { return identity_; }

  // Fills `samples` with up to `count` samples; fewer only at the end of the
  // sound. False when reading or resampling failed (`why`).
  bool Read(std::int16_t* samples, std::size_t count, std::size_t& got, std::string* why);
  // The share of the file read so far, or -1 when its length is not known.
  double Fraction() const;

 private:
  bool Refill(std::string* why);
  void Append(const float* mono, std::size_t count);

  const FormatLibraries* lib_ = nullptr;
  void* sndfile_ = nullptr;  // SNDFILE*
  void* soxr_ = nullptr;     // soxr_t; none at 8000 Hz
  std::string name_;
  FileIdentity identity_;
  int channels_ = 0;
  std::size_t framesPerBlock_ = 0;
  long long totalFrames_ = -1, framesRead_ = 0;
  bool ended_ = false;
  std::vector<float> block_, mono_, resampled_;
  std::vector<std::int16_t> ready_;
  std::size_t readyStart_ = 0;
};

// The whole sound of a file at 8000 Hz (for tests and short files).
bool LoadAudioAt8k(const std::string& path, std::vector<std::int16_t>& samples, std::string* error);

}  // namespace kestrel::tool
