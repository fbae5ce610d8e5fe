#include "message_writer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace kestrel::tool {

MessageFileWriter::~MessageFileWriter() {
  if (file_) std::fclose(file_);
  if (!temporary_.empty()) std::remove(temporary_.c_str());
}

bool MessageFileWriter::Open(const std::string& path, std::uint8_t frameRate, std::string* error) {
  path_ = path;
  std::filesystem::path dir = std::filesystem::path(path).parent_path();
  if (dir.empty()) dir = ".";
  std::string pattern = (dir / ("." + std::filesystem::path(path).filename().string() + ".XXXXXX")).string();
  const int fd = mkstemp(pattern.data());
  if (fd < 0) {
    if (error) *error = path + ": " + std::strerror(errno);
    return false;
  }
  temporary_ = pattern;
  // mkstemp makes the file private; the message gets the usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  file_ = fdopen(fd, "wb");
  if (!file_) {
    ::close(fd);
    if (error) *error = path + ": " + std::strerror(errno);
    return false;
  }
  const std::uint8_t header[kMessageHeaderSize] = {'Q', 'R', 'V', '0', '1', '.', '0', '1', frameRate, 0, 0, 0, 0};
  return Put(header, sizeof header);
}

bool MessageFileWriter::Put(const void* data, std::size_t size) {
  if (!file_ || failed_) return false;
  if (std::fwrite(data, 1, size, file_) != size) failed_ = true;
  return !failed_;
}

bool MessageFileWriter::WriteAudio(const AudioRecordBytes& record) {
  const std::uint8_t type = kAudioRecordType;
  ++audioRecords_;
  return Put(&type, 1) && Put(record.data(), record.size());
}

bool MessageFileWriter::WriteVideo(const std::vector<std::uint8_t>& payload) {
  if (payload.size() > kPayloadBufferBytes) {
    failed_ = true;
    return false;
  }
  const std::uint8_t head[3] = {kVideoRecordType, static_cast<std::uint8_t>(payload.size() & 0xFF),
                                static_cast<std::uint8_t>(payload.size() >> 8)};
  ++videoRecords_;
  return Put(head, sizeof head) && Put(payload.data(), payload.size());
}

bool MessageFileWriter::Commit(std::string* error) {
  const auto count = static_cast<std::uint32_t>(audioRecords_ * kAudioFramesPerRecord);
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8),
                                 static_cast<std::uint8_t>(count >> 16), static_cast<std::uint8_t>(count >> 24)};
  bool ok = file_ && !failed_ && std::fseek(file_, 9, SEEK_SET) == 0 && Put(bytes, 4) && std::fflush(file_) == 0 &&
            fsync(fileno(file_)) == 0;
  if (file_ && std::fclose(file_) != 0) ok = false;
  file_ = nullptr;
  if (ok && std::rename(temporary_.c_str(), path_.c_str()) != 0) ok = false;
  if (!ok) {
    if (error) *error = path_ + ": " + std::strerror(errno ? errno : EIO);
    return false;
  }
  temporary_.clear();
  return true;
}

}  // namespace kestrel::tool
