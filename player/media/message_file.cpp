#include "message_file.h"

#include <cerrno>
#include <cstring>

namespace kestrel {

const char* Describe(OpenResult result) {
  switch (result) {
    case OpenResult::Ok:
      return "ok";
    case OpenResult::CannotOpen:
      return "cannot open the file";
    case OpenResult::BadMagic:
      return "bad magic (not a QRV01.01 message file)";
    case OpenResult::MissingFrameRate:
      return "header cut short before the frame rate";
    case OpenResult::FrameRateTooHigh:
      return "frame rate above 5";
    case OpenResult::MissingFrameCount:
      return "header cut short in the audio frame count";
  }
  return "unknown";
}

OpenResult CMessageFile::Open(const char* path) {
  Close();
  systemError_ = 0;
  std::FILE* stream = std::fopen(path, "rb");
  if (!stream) {
    systemError_ = errno;
    return OpenResult::CannotOpen;
  }
  return Attach(stream);
}

OpenResult CMessageFile::Attach(std::FILE* stream) {
  Close();
  file_ = stream;
  auto fail = [this](OpenResult why) {
    Close();
    return why;
  };

  char magic[kMessageMagicSize];
  if (std::fread(magic, 1, sizeof magic, file_) != sizeof magic || std::memcmp(magic, kMessageMagic, sizeof magic) != 0)
    return fail(OpenResult::BadMagic);

  std::uint8_t rate = 0;
  if (std::fread(&rate, 1, 1, file_) != 1) return fail(OpenResult::MissingFrameRate);
  if (rate > kMaxVideoFrameRate) return fail(OpenResult::FrameRateTooHigh);

  std::uint8_t count[4];
  if (std::fread(count, 1, sizeof count, file_) != sizeof count) return fail(OpenResult::MissingFrameCount);

  frameRate_ = rate;
  audioFrameCount_ = std::uint32_t{count[0]} | std::uint32_t{count[1]} << 8 | std::uint32_t{count[2]} << 16 |
                     std::uint32_t{count[3]} << 24;
  dataStart_ = std::ftell(file_);
  return OpenResult::Ok;
}

void CMessageFile::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

Record CMessageFile::ReadRecord(std::uint8_t* payload) {
  Record record;
  if (!file_) return record;
  int type = std::fgetc(file_);
  if (type == EOF) return record;
  record.type = static_cast<std::uint8_t>(type);

  if (type == kAudioRecordType) {
    record.kind = RecordKind::Audio;
    record.length = kAudioRecordBytes;
    record.bytesRead = std::fread(payload, 1, kAudioRecordBytes, file_);
    // The missing bytes of a record cut short decode as zeros.
    std::memset(payload + record.bytesRead, 0, kAudioRecordBytes - record.bytesRead);
    return record;
  }
  if (type == kVideoRecordType) {
    std::uint8_t len[2] = {0, 0};
    record.kind = RecordKind::Video;
    if (std::fread(len, 1, 2, file_) != 2) {
      // Not even the length survived: delivered empty and marked cut short.
      record.length = 2;
      return record;
    }
    record.length = len[0] | len[1] << 8;
    if (record.length > kPayloadBufferBytes) {
      record.kind = RecordKind::OversizeVideo;
      // A pipe cannot seek: its bytes are read and dropped instead.
      if (std::fseek(file_, static_cast<long>(record.length), SEEK_CUR) != 0)
        for (std::uint32_t left = record.length; left > 0 && std::fgetc(file_) != EOF; --left) {
        }
      return record;
    }
    record.bytesRead = std::fread(payload, 1, record.length, file_);
    return record;
  }
  record.kind = RecordKind::PassedOver;
  return record;
}

bool CMessageFile::Rewind() { return Seek(dataStart_); }

bool CMessageFile::Seek(long offset) { return file_ && std::fseek(file_, offset, SEEK_SET) == 0; }

long CMessageFile::Position() const { return file_ ? std::ftell(file_) : -1; }

}  // namespace kestrel
