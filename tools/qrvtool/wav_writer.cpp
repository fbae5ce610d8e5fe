#include "wav_writer.h"

#include <sndfile.h>

namespace kestrel::tool {

WavWriter::~WavWriter() { Close(nullptr); }

bool WavWriter::Open(const std::string& path, int sampleRate, std::string* error) {
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) {
    if (error) *error = path + ": " + sf_strerror(nullptr);
    return false;
  }
  file_ = file;
  path_ = path;
  failed_ = false;
  return true;
}

bool WavWriter::Write(const std::int16_t* samples, std::size_t count) {
  if (!file_) return false;
  const auto written = sf_write_short(static_cast<SNDFILE*>(file_), samples, static_cast<sf_count_t>(count));
  if (written != static_cast<sf_count_t>(count)) failed_ = true;
  return !failed_;
}

bool WavWriter::Close(std::string* error) {
  if (!file_) return !failed_;
  if (sf_close(static_cast<SNDFILE*>(file_)) != 0) failed_ = true;
  file_ = nullptr;
  if (failed_ && error) *error = path_ + ": cannot write WAV";
  return !failed_;
}

}  // namespace kestrel::tool
