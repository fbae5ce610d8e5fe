// Writing a message file safely: records go to a temporary file beside the
// destination, which replaces the destination only when it is complete.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio_record_encoder.h"
#include "output_file.h"

namespace kestrel::tool {

// The header counts audio frames in 32 bits: no message holds more records.
inline constexpr std::size_t kMostAudioRecords = 0xFFFFFFFFu / kAudioFramesPerRecord;

class MessageFileWriter {
 public:
  // A file only: the header is completed last, which needs seeking.
  bool Open(const std::string& path, std::uint8_t frameRate, bool noClobber, std::string* error);
  bool WriteAudio(const AudioRecordBytes& record);
  bool WriteVideo(const std::vector<std::uint8_t>& payload);
  // Writes the audio frame count (ten per audio record written) into the
  // header, flushes, and renames the file into place.
  bool Commit(std::string* error);

  std::size_t AudioRecords() const { return audioRecords_; }
  std::size_t VideoRecords() const { return videoRecords_; }

 private:
  OutputFile file_;
  std::size_t audioRecords_ = 0, videoRecords_ = 0;
};

}  // namespace kestrel::tool
