// Writing a message file safely: records go to a temporary file beside the
// destination, which replaces the destination only when it is complete.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "audio_record_encoder.h"

namespace kestrel::tool {

class MessageFileWriter {
 public:
  MessageFileWriter() = default;
  ~MessageFileWriter();  // removes the temporary file unless committed
  MessageFileWriter(const MessageFileWriter&) = delete;
  MessageFileWriter& operator=(const MessageFileWriter&) = delete;

  bool Open(const std::string& path, std::uint8_t frameRate, std::string* error);
  bool WriteAudio(const AudioRecordBytes& record);
  bool WriteVideo(const std::vector<std::uint8_t>& payload);
  // Writes the audio frame count (ten per audio record written) into the
  // header, flushes, and renames the file into place.
  bool Commit(std::string* error);

  std::size_t AudioRecords() const { return audioRecords_; }
  std::size_t VideoRecords() const { return videoRecords_; }

 private:
  bool Put(const void* data, std::size_t size);

  std::FILE* file_ = nullptr;
  std::string path_, temporary_;
  std::size_t audioRecords_ = 0, videoRecords_ = 0;
  bool failed_ = false;
};

}  // namespace kestrel::tool
