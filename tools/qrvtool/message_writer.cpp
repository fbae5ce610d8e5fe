#include "message_writer.h"

#include <cerrno>
#include <cstdio>

namespace kestrel::tool {

bool MessageFileWriter::Open(const std::string& path, std::uint8_t frameRate, bool noClobber, std::string* error) {
  if (!file_.Open(path, noClobber, error)) return false;
  const std::uint8_t header[kMessageHeaderSize] = {'Q', 'R', 'V', '0', '1', '.', '0', '1', frameRate, 0, 0, 0, 0};
  return file_.Write(header, sizeof header);
}

bool MessageFileWriter::WriteAudio(const AudioRecordBytes& record) {
  if (audioRecords_ >= kMostAudioRecords) {
    file_.NoteFailure(EFBIG);
    return false;
  }
  const std::uint8_t type = kAudioRecordType;
  ++audioRecords_;
  return file_.Write(&type, 1) && file_.Write(record.data(), record.size());
}

bool MessageFileWriter::WriteVideo(const std::vector<std::uint8_t>& payload) {
  if (payload.size() > kPayloadBufferBytes) {
    file_.NoteFailure(EINVAL);
    return false;
  }
  const std::uint8_t head[3] = {kVideoRecordType, static_cast<std::uint8_t>(payload.size() & 0xFF),
                                static_cast<std::uint8_t>(payload.size() >> 8)};
  ++videoRecords_;
  return file_.Write(head, sizeof head) && file_.Write(payload.data(), payload.size());
}

bool MessageFileWriter::Commit(std::string* error) {
  const auto count = static_cast<std::uint32_t>(audioRecords_ * kAudioFramesPerRecord);
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8),
                                 static_cast<std::uint8_t>(count >> 16), static_cast<std::uint8_t>(count >> 24)};
  if (file_.Stream() && std::fseek(file_.Stream(), 9, SEEK_SET) != 0) file_.NoteFailure(errno);
  file_.Write(bytes, sizeof bytes);
  return file_.Commit(error);
}

}  // namespace kestrel::tool
