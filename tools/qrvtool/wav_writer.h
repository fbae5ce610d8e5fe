// Writing 16-bit mono WAV into an output: through libsndfile for a file
// being made; for a stream (standard output, a pipe) with a header of its
// own whose length fields say "unknown" as a streaming writer leaves them
// (data 0x7FFFF000 bytes), set to the real lengths at the end if the stream
// turns out to be a seekable file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "output_file.h"

namespace kestrel::tool {

struct FormatLibraries;

class WavWriter {
 public:
  WavWriter() = default;
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  bool Open(OutputFile& output, int sampleRate);
  bool Write(const std::int16_t* samples, std::size_t count);
  // Finishes the header. Failures are noted on the output, whose Commit reports them.
  void Close();

 private:
  OutputFile* output_ = nullptr;
  const FormatLibraries* lib_ = nullptr;
  void* sndfile_ = nullptr;  // SNDFILE*
  long long headerOffset_ = -1;
  std::uint64_t dataBytes_ = 0;
};

}  // namespace kestrel::tool
