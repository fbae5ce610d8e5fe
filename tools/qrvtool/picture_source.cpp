#include "picture_source.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "message_format.h"
#include "png_chunks.h"
#include "qrvtool.h"
#include "qt_services.h"
#include "y4m_reader.h"

namespace kestrel::tool {

namespace {

bool IsPictureFile(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".png" || ext == ".jpg" || ext == ".jpeg" || ext == ".bmp";
}

// The whole of a file, read once through its descriptor: names in any byte
// encoding work, which a QString path would not promise.
int ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string* why) {
  InputFile file;
  std::string reason;
  if (!file.Open(path, &reason)) {
    if (why) *why = path + ": " + reason;
    return kExitIoError;
  }
  char block[65536];
  for (ssize_t got; (got = ::read(file.Descriptor(), block, sizeof block)) != 0;) {
    if (got < 0) {
      if (why) *why = path + ": " + std::strerror(errno);
      return kExitIoError;
    }
    bytes.insert(bytes.end(), block, block + got);
  }
  return kExitOk;
}

class FolderSource : public PictureSource {
 public:
  FolderSource(std::vector<std::filesystem::path> files, const QtServices& qt) : files_(std::move(files)), qt_(qt) {}

  int Take(std::vector<std::uint8_t>& picture, Finish& finish, bool& ended, std::string* why) override {
    finish = nullptr;
    ended = next_ == files_.size();
    if (ended) return kExitOk;
    const std::string path = files_[next_++].string();
    std::vector<std::uint8_t> bytes;
    if (const int status = ReadWholeFile(path, bytes, why); status != kExitOk) return status;
    if (const std::string chunk = PngChunkPastEnd(bytes.data(), bytes.size()); !chunk.empty()) {
      if (why) *why = path + ": damaged PNG: its " + chunk + " chunk runs past the end of the file";
      return kExitBadInput;
    }
    std::string reason;
    if (!qt_.pictureFromFile(bytes.data(), bytes.size(), picture, reason)) {
      if (why) *why = path + ": " + reason;
      return kExitBadInput;
    }
    return kExitOk;
  }

  std::vector<FileIdentity> Inputs() const override {
    std::vector<FileIdentity> inputs;
    for (const auto& file : files_) inputs.push_back(IdentityOfPath(file.string()));
    return inputs;
  }

 private:
  std::vector<std::filesystem::path> files_;
  const QtServices& qt_;
  std::size_t next_ = 0;
};

class Y4mSource : public PictureSource {
 public:
  Y4mSource(std::FILE* stream, FileIdentity identity, std::string name, int fps, const QtServices& qt)
      : source_(stream), reader_(source_), identity_(identity), name_(std::move(name)), fps_(fps), qt_(qt) {}

  bool Start(std::string* why) {
    if (reader_.ReadHeader(why)) return true;
    if (why) *why = name_ + ": " + *why;
    return false;
  }

  int Take(std::vector<std::uint8_t>& /*picture*/, Finish& finish, bool& ended, std::string* why) override {
    finish = nullptr;
    ended = false;
    // The frame showing at k / fps seconds: the rate is at most 1000 a
    // second, so the index stays far below what 64 bits hold.
    const long long wanted = static_cast<long long>(std::floor(double(k_++) * reader_.FrameRate() / fps_ + 1e-9));
    while (read_ <= wanted) {
      std::string reason;
      switch (reader_.Next(nullptr, &reason)) {
        case Y4mReader::Frame::End:
          ended = true;
          return kExitOk;
        case Y4mReader::Frame::Damaged:
          if (why) *why = name_ + ": " + reason;
          return kExitBadInput;
        case Y4mReader::Frame::Read:
          ++read_;
          break;
      }
    }
    if (wanted != shown_) {
      shown_ = wanted;
      last_ = std::make_shared<Shown>();
      last_->planes = reader_.Planes();
    }
    // A frame shown again is made once, by whichever of its pictures comes first.
    finish = [shown = last_, this](std::vector<std::uint8_t>& out) {
      std::call_once(shown->made, [&] {
        std::vector<std::uint8_t> rgb;
        reader_.ToRgb(shown->planes.data(), rgb);
        shown->picture = qt_.fitToPicture(rgb.data(), reader_.Width(), reader_.Height());
      });
      out = shown->picture;
    };
    return kExitOk;
  }

  std::vector<FileIdentity> Inputs() const override { return {identity_}; }

 private:
  StdioByteSource source_;
  Y4mReader reader_;
  FileIdentity identity_;
  std::string name_;
  int fps_;
  const QtServices& qt_;
  // The frame last shown: its planes, and the picture made of them.
  struct Shown {
    std::vector<std::uint8_t> planes;
    std::once_flag made;
    std::vector<std::uint8_t> picture;
  };
  long long k_ = 0, read_ = 0, shown_ = -1;
  std::shared_ptr<Shown> last_;
};

}  // namespace

int PictureSource::Next(std::vector<std::uint8_t>& picture, bool& ended, std::string* why) {
  Finish finish;
  const int status = Take(picture, finish, ended, why);
  if (status == kExitOk && !ended && finish) finish(picture);
  return status;
}

std::unique_ptr<PictureSource> OpenPictureSource(const std::string& path, int framesPerSecond, int& status,
                                                 std::string* why) {
  InputFile input;
  std::string reason;
  if (!input.Open(path, &reason, true)) {
    if (why) *why = input.Name() + ": " + reason;
    status = kExitIoError;
    return nullptr;
  }
  // Picture files are read and pictures scaled with Qt.
  const QtServices* qt = LoadQtServices(why);
  if (!qt) {
    status = kExitIoError;
    return nullptr;
  }
  status = kExitBadInput;
  if (input.IsFolder()) {
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(path, ec))
      if (entry.is_regular_file() && IsPictureFile(entry.path())) files.push_back(entry.path());
    if (ec) {
      if (why) *why = path + ": " + ec.message();
      status = kExitIoError;
      return nullptr;
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
      if (why) *why = path + ": no PNG, JPEG or BMP pictures in the folder";
      return nullptr;
    }
    status = kExitOk;
    return std::make_unique<FolderSource>(std::move(files), *qt);
  }
  const FileIdentity identity = input.Identity();
  const std::string name = input.Name();
  auto source = std::make_unique<Y4mSource>(input.TakeStream(), identity, name, framesPerSecond, *qt);
  if (!source->Start(why)) return nullptr;
  status = kExitOk;
  return source;
}

}  // namespace kestrel::tool
