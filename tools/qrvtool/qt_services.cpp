// The module's side of qt_services.h.
#include "qt_services.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>

#include "message_format.h"
#include "picture_files.h"

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

std::vector<std::uint8_t> FitToPicture(const std::uint8_t* rgb, int width, int height) {
  return FromImage(QImage(rgb, width, height, width * 3, QImage::Format_RGB888));
}

bool PictureFromFile(const std::uint8_t* bytes, std::size_t size, std::vector<std::uint8_t>& picture,
                     std::string& why) {
  QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
  QBuffer buffer(&data);
  QImageReader reader(&buffer);
  reader.setAutoTransform(true);
  const QImage image = reader.read();
  if (image.isNull()) {
    why = reader.errorString().toStdString();
    return false;
  }
  picture = FromImage(image);
  return true;
}

ScaledPicture ScaleToFit(const std::uint8_t* rgb, int width, int height, int size) {
  const QImage scaled = QImage(rgb, width, height, width * 3, QImage::Format_RGB888)
                            .scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_RGB888);
  ScaledPicture out;
  out.width = scaled.width();
  out.height = scaled.height();
  out.rgb.resize(std::size_t(out.width) * out.height * 3);
  for (int y = 0; y < out.height; ++y)
    std::copy_n(scaled.constScanLine(y), out.width * 3, out.rgb.data() + std::size_t(y) * out.width * 3);
  return out;
}

double Rounded(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  return std::round(value * scale) / scale;
}

std::string StatsJson(const std::string& path, const MessageStats& s) {
  QJsonObject json;
  const QByteArray bytes = QByteArray::fromStdString(path);
  QStringDecoder utf8(QStringDecoder::Utf8);
  json["file"] = QString(utf8.decode(bytes));
  if (utf8.hasError()) json["path_bytes"] = QString::fromLatin1(bytes.toPercentEncoding("/"));
  json["frame_rate"] = int(s.frameRate);
  json["audio_frame_count"] = static_cast<qint64>(s.audioFrameCount);
  json["duration_seconds"] = Rounded(s.DurationSeconds(), 2);
  json["audio_records"] = static_cast<qint64>(s.audioRecords);
  json["video_records"] = static_cast<qint64>(s.videoRecords);
  json["passed_over_bytes"] = static_cast<qint64>(s.passedOverBytes);
  json["oversize_records"] = static_cast<qint64>(s.oversizeRecords);
  json["cut_short_records"] = static_cast<qint64>(s.cutShortRecords);
  json["malformed_payloads"] = static_cast<qint64>(s.malformedPayloads);
  json["video_payload_bytes"] = QJsonObject{{"smallest", static_cast<qint64>(s.smallestPayload)},
                                            {"mean", Rounded(s.meanPayload, 1)},
                                            {"largest", static_cast<qint64>(s.largestPayload)}};
  json["count_matches_records"] = s.CountMatchesRecords();
  json["well_formed"] = s.WellFormed();
  return QJsonDocument(json).toJson(QJsonDocument::Compact).toStdString();
}

constexpr QtServices kServices = {PictureFromFile, FitToPicture, ScaleToFit, StatsJson};

}  // namespace

}  // namespace kestrel::tool

extern "C" __attribute__((visibility("default"))) const void* kestrel_qrvtool_qt_services() {
  return &kestrel::tool::kServices;
}
