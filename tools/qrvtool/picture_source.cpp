#include "picture_source.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "message_format.h"
#include "picture_files.h"
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

class FolderSource : public PictureSource {
 public:
  explicit FolderSource(std::vector<std::filesystem::path> files) : files_(std::move(files)) {}
  int Count() const override { return static_cast<int>(files_.size()); }
  bool Picture(int k, std::vector<std::uint8_t>& picture, std::string* error) override {
    QImageReader reader(QString::fromStdString(files_[k].string()));
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
      if (error) *error = files_[k].string() + ": " + reader.errorString().toStdString();
      return false;
    }
    picture = FromImage(image);
    return true;
  }

 private:
  std::vector<std::filesystem::path> files_;
};

class Y4mSource : public PictureSource {
 public:
  Y4mSource(std::unique_ptr<Y4mReader> reader, int fps) : reader_(std::move(reader)), fps_(fps) {
    const double seconds = reader_->FrameCount() / reader_->FrameRate();
    count_ = reader_->FrameCount() > 0 ? std::max(1, static_cast<int>(std::floor(seconds * fps_ + 1e-9))) : 0;
  }
  int Count() const override { return count_; }
  bool Picture(int k, std::vector<std::uint8_t>& picture, std::string* error) override {
    // Picture k is due at k / fps seconds: the source frame showing then.
    const int index = std::min(reader_->FrameCount() - 1, static_cast<int>(std::floor(k * reader_->FrameRate() / fps_ + 1e-9)));
    std::vector<std::uint8_t> rgb;
    if (!reader_->ReadFrame(index, rgb, error)) return false;
    picture = FitToPicture(rgb.data(), reader_->Width(), reader_->Height());
    return true;
  }

 private:
  std::unique_ptr<Y4mReader> reader_;
  int fps_;
  int count_ = 0;
};

}  // namespace

std::vector<std::uint8_t> FitToPicture(const std::uint8_t* rgb, int width, int height) {
  const QImage image(rgb, width, height, width * 3, QImage::Format_RGB888);
  return FromImage(image);
}

std::unique_ptr<PictureSource> OpenPictureSource(const std::string& path, int framesPerSecond, std::string* error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(path, ec))
      if (entry.is_regular_file() && IsPictureFile(entry.path())) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    if (files.empty()) {
      if (error) *error = path + ": no PNG, JPEG or BMP pictures in the folder";
      return nullptr;
    }
    return std::make_unique<FolderSource>(std::move(files));
  }
  auto reader = std::make_unique<Y4mReader>();
  if (!reader->Open(path, error)) return nullptr;
  if (reader->FrameCount() == 0) {
    if (error) *error = path + ": no frames";
    return nullptr;
  }
  return std::make_unique<Y4mSource>(std::move(reader), framesPerSecond);
}

}  // namespace kestrel::tool
