#include "picture_source.h"

#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "message_format.h"
#include "picture_files.h"
#include "png_chunks.h"
#include "qrvtool.h"
#include "y4m_reader.h"

namespace kestrel::tool {

namespace {

std::vector<std::uint8_t> FromImage(const QImage& source) {
  QImage picture(kPictureWidth, kPictureHeight, QImage::Format_RGB888);
  picture.fill(Qt::black);
  const QImage scaled = source.convertToFormat(QImage::Format_RGB888)
                            .scaled(kPictureWidth, kPictureHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  {
    QPainter painter(&picture);
    painter.drawImage((kPictureWidth - scaled.width()) / 2, (kPictureHeight - scaled.height()) / 2, scaled);
  }
  // Turning rows over and swapping red with blue is its own inverse: the
  // same step that makes a decoded picture upright R, G, B lays one out.
  static_assert(kPictureRowBytes % 4 == 0, "RGB888 rows of 320 pixels have no padding");
  return UprightRgb(picture.constBits(), kPictureWidth, kPictureHeight);
}

bool IsPictureFile(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".png" || ext == ".jpg" || ext == ".jpeg" || ext == ".bmp";
}

// The whole of a file, read once through its descriptor: names in any byte
// encoding work, which a QString path would not promise.
int ReadWholeFile(const std::string& path, QByteArray& bytes, std::string* why) {
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
    bytes.append(block, got);
  }
  return kExitOk;
}

class FolderSource : public PictureSource {
 public:
  explicit FolderSource(std::vector<std::filesystem::path> files) : files_(std::move(files)) {}

  int Next(std::vector<std::uint8_t>& picture, bool& ended, std::string* why) override {
    ended = next_ == files_.size();
    if (ended) return kExitOk;
    const std::string path = files_[next_++].string();
    QByteArray bytes;
    if (const int status = ReadWholeFile(path, bytes, why); status != kExitOk) return status;
    if (const std::string chunk = PngChunkPastEnd(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                                  static_cast<std::size_t>(bytes.size()));
        !chunk.empty()) {
      if (why) *why = path + ": damaged PNG: its " + chunk + " chunk runs past the end of the file";
      return kExitBadInput;
    }
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
      if (why) *why = path + ": " + reader.errorString().toStdString();
      return kExitBadInput;
    }
    picture = FromImage(image);
    return kExitOk;
  }

  std::vector<FileIdentity> Inputs() const override {
    std::vector<FileIdentity> inputs;
    for (const auto& file : files_) inputs.push_back(IdentityOfPath(file.string()));
    return inputs;
  }

 private:
  std::vector<std::filesystem::path> files_;
  std::size_t next_ = 0;
};

class Y4mSource : public PictureSource {
 public:
  Y4mSource(std::FILE* stream, FileIdentity identity, std::string name, int fps)
      : source_(stream), reader_(source_), identity_(identity), name_(std::move(name)), fps_(fps) {}

  bool Start(std::string* why) {
    if (reader_.ReadHeader(why)) return true;
    if (why) *why = name_ + ": " + *why;
    return false;
  }

  int Next(std::vector<std::uint8_t>& picture, bool& ended, std::string* why) override {
    ended = false;
    // The frame showing at k / fps seconds: the rate is at most 1000 a
    // second, so the index stays far below what 64 bits hold.
    const long long wanted = static_cast<long long>(std::floor(double(k_++) * reader_.FrameRate() / fps_ + 1e-9));
    if (wanted == shown_) {
      picture = last_;
      return kExitOk;
    }
    std::vector<std::uint8_t> rgb;
    while (read_ <= wanted) {
      std::string reason;
      switch (reader_.Next(read_ == wanted ? &rgb : nullptr, &reason)) {
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
    shown_ = wanted;
    last_ = FitToPicture(rgb.data(), reader_.Width(), reader_.Height());
    picture = last_;
    return kExitOk;
  }

  std::vector<FileIdentity> Inputs() const override { return {identity_}; }

 private:
  StdioByteSource source_;
  Y4mReader reader_;
  FileIdentity identity_;
  std::string name_;
  int fps_;
  long long k_ = 0, read_ = 0, shown_ = -1;
  std::vector<std::uint8_t> last_;
};

}  // namespace

std::vector<std::uint8_t> FitToPicture(const std::uint8_t* rgb, int width, int height) {
  const QImage image(rgb, width, height, width * 3, QImage::Format_RGB888);
  return FromImage(image);
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
    return std::make_unique<FolderSource>(std::move(files));
  }
  const FileIdentity identity = input.Identity();
  const std::string name = input.Name();
  auto source = std::make_unique<Y4mSource>(input.TakeStream(), identity, name, framesPerSecond);
  if (!source->Start(why)) return nullptr;
  status = kExitOk;
  return source;
}

}  // namespace kestrel::tool
