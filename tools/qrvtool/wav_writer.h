// Writing 16-bit mono WAV files with libsndfile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrel::tool {

class WavWriter {
 public:
  WavWriter() = default;
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  bool Open(const std::string& path, int sampleRate, std::string* error);
  bool Write(const std::int16_t* samples, std::size_t count);
  // Finishes the header; false when anything failed on the way.
  bool Close(std::string* error);

 private:
  void* file_ = nullptr;  // SNDFILE*
  std::string path_;
  bool failed_ = false;
};

}  // namespace kestrel::tool
