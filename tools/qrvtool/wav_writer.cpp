#include "wav_writer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "format_libraries.h"

namespace kestrel::tool {

namespace {

constexpr std::uint32_t kUnknownDataBytes = 0x7FFFF000;
constexpr std::size_t kHeaderBytes = 44;

void PutLe(std::uint8_t* at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The canonical 44-byte header of 16-bit mono PCM.
void StreamHeader(std::uint8_t* h, int sampleRate, std::uint32_t dataBytes) {
  const std::uint8_t fixed[kHeaderBytes] = {'R', 'I', 'F', 'F', 0,  0, 0,   0,   'W', 'A', 'V', 'E', 'f', 'm', 't',
                                            ' ', 16,  0,   0,   0,  1, 0,   1,   0,   0,   0,   0,   0,   0,   0,
                                            0,   0,   2,   0,   16, 0, 'd', 'a', 't', 'a', 0,   0,   0,   0};
  std::copy(fixed, fixed + kHeaderBytes, h);
  PutLe(h + 4, dataBytes + 36, 4);
  PutLe(h + 24, static_cast<std::uint32_t>(sampleRate), 4);
  PutLe(h + 28, static_cast<std::uint32_t>(sampleRate) * 2, 4);
  PutLe(h + 40, dataBytes, 4);
}

}  // namespace

WavWriter::~WavWriter() { Close(); }

bool WavWriter::Open(OutputFile& output, int sampleRate) {
  output_ = &output;
  if (output.IsSeekableFile()) {
    // Without the module the output fails as a file whose library is missing.
    if (!(lib_ = LoadFormatLibraries(nullptr))) {
      output.NoteFailure(ELIBACC);
      return false;
    }
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    sndfile_ = lib_->sfOpenFd(output.Descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (!sndfile_) output.NoteFailure(errno ? errno : EIO);
    return sndfile_ != nullptr;
  }
  const int fd = output.Descriptor();
  struct stat st {};
  if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) headerOffset_ = lseek(fd, 0, SEEK_CUR);
  std::uint8_t header[kHeaderBytes];
  StreamHeader(header, sampleRate, kUnknownDataBytes);
  return output.Write(header, sizeof header);
}

bool WavWriter::Write(const std::int16_t* samples, std::size_t count) {
  if (!output_) return false;
  if (sndfile_) {
    errno = 0;
    if (lib_->sfWriteShort(static_cast<SNDFILE*>(sndfile_), samples, static_cast<sf_count_t>(count)) ==
        static_cast<sf_count_t>(count))
      return true;
    output_->NoteFailure(errno);
    return false;
  }
  // Samples are little-endian in the file, as on this host.
  dataBytes_ += count * sizeof(std::int16_t);
  return output_->Write(samples, count * sizeof(std::int16_t));
}

void WavWriter::Close() {
  if (!output_) return;
  if (sndfile_) {
    errno = 0;
    if (lib_->sfClose(static_cast<SNDFILE*>(sndfile_)) != 0) output_->NoteFailure(errno);
    sndfile_ = nullptr;
  } else if (headerOffset_ >= 0 && dataBytes_ <= 0xFFFFFFFFull - 36) {
    std::uint8_t header[kHeaderBytes];
    StreamHeader(header, 0, static_cast<std::uint32_t>(dataBytes_));
    const int fd = output_->Descriptor();
    // Only the two length fields change.
    if (pwrite(fd, header + 4, 4, headerOffset_ + 4) != 4 || pwrite(fd, header + 40, 4, headerOffset_ + 40) != 4)
      output_->NoteFailure(errno);
  }
  output_ = nullptr;
}

}  // namespace kestrel::tool
