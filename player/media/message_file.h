// Opening a ".qrv" message file, checking its header and reading its records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "message_format.h"

namespace kestrel {

// Why opening failed, in the order the checks are made.
enum class OpenResult {
  Ok,
  CannotOpen,         // the system refused; SystemError() says why
  BadMagic,           // fewer than 8 bytes, or not exactly "QRV01.01"
  MissingFrameRate,   // header cut short before the rate byte
  FrameRateTooHigh,   // rate byte above 5
  MissingFrameCount,  // header cut short in the 32-bit frame count
};
const char* Describe(OpenResult result);

enum class RecordKind {
  Audio,          // 330 bytes (zero-filled past what was read)
  Video,          // `length` announced, `bytesRead` delivered
  PassedOver,     // a type byte other than 0 and 1
  OversizeVideo,  // announced length above the payload buffer: skipped by seeking past it
  EndOfData,      // the type byte could not be read
};

struct Record {
  RecordKind kind = RecordKind::EndOfData;
  std::uint8_t type = 0;
  std::uint32_t length = 0;   // bytes announced (330 for audio)
  std::size_t bytesRead = 0;  // bytes actually read into the payload buffer
  bool CutShort() const { return bytesRead < length; }
};

class CMessageFile {
 public:
  CMessageFile() = default;
  ~CMessageFile() { Close(); }
  CMessageFile(const CMessageFile&) = delete;
  CMessageFile& operator=(const CMessageFile&) = delete;

  // Opens in binary mode and checks the header; on failure no file stays open.
  OpenResult Open(const char* path);
  // The same checks on a stream opened elsewhere (binary, for reading); the
  // file takes ownership and closes it.
  OpenResult Attach(std::FILE* stream);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  int SystemError() const { return systemError_; }

  std::uint8_t FrameRate() const { return frameRate_; }
  std::uint32_t AudioFrameCount() const { return audioFrameCount_; }
  long DataStart() const { return dataStart_; }

  // Reads one record into `payload` (kPayloadBufferBytes long). A record cut
  // short by the end of the file is delivered with what was read; the next
  // call then reports the end of data. A read error ends the data likewise.
  Record ReadRecord(std::uint8_t* payload);

  // Positions the file at the first record.
  bool Rewind();
  // Positions the file at `offset` from its start (a record's first byte).
  bool Seek(long offset);
  long Position() const;

 private:
  std::FILE* file_ = nullptr;
  int systemError_ = 0;
  std::uint8_t frameRate_ = 0;
  std::uint32_t audioFrameCount_ = 0;
  long dataStart_ = kMessageHeaderSize;
};

}  // namespace kestrel
