// Paints bitmap files for the demo folder and the end-to-end tests.
//
//   stillbox_paint_frames frames DIR COUNT [PREFIX]  varied 320x240 frames
//   stillbox_paint_frames solid FILE RRGGBB [W H]    one colour, 24 bits
//   stillbox_paint_frames indexed FILE               320x240, 8 bits per pixel
//   stillbox_paint_frames broken FILE                named .bmp, not a picture
//   stillbox_paint_frames damaged DIR COUNT          damaged frames of every kind
#include "bitmap_forge.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdio>

namespace forge = kestrel::stillbox::forge;

namespace {

QImage PaintFrame(int number) {
  QImage image(320, 240, QImage::Format_RGB888);
  QPainter painter(&image);
  const int hue = (number * 47) % 360;
  QLinearGradient sky(0, 0, 0, 240);
  sky.setColorAt(0, QColor::fromHsv(hue, 160, 230));
  sky.setColorAt(1, QColor::fromHsv((hue + 40) % 360, 200, 90));
  painter.fillRect(image.rect(), sky);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor::fromHsv((hue + 180) % 360, 200, 240));
  painter.drawEllipse(QPoint(60 + (number * 37) % 200, 70 + (number * 23) % 100), 34, 34);
  painter.setBrush(QColor(30, 30, 30));
  painter.drawRect(0, 200, 320, 40);
  painter.setPen(Qt::white);
  QFont font = painter.font();
  font.setPixelSize(28);
  painter.setFont(font);
  painter.drawText(QRect(0, 200, 320, 40), Qt::AlignCenter, QStringLiteral("Frame %1").arg(number));
  return image;
}

int Usage() {
  std::fputs(
      "usage: stillbox_paint_frames frames DIR COUNT [PREFIX] | solid FILE RRGGBB [W H] |"
      " indexed FILE | broken FILE | damaged DIR COUNT\n",
      stderr);
  return 2;
}

bool Save(const QImage& image, const QString& path) {
  if (!image.save(path, "BMP")) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.size() < 2) return Usage();
  const QString& command = args[0];
  if (command == QLatin1String("frames") && args.size() >= 3) {
    const QString prefix = args.size() >= 4 ? args[3] : QStringLiteral("frame");
    QDir().mkpath(args[1]);
    for (int i = 1; i <= args[2].toInt(); ++i) {
      const QString name = QStringLiteral("%1_%2.bmp").arg(prefix).arg(i, 4, 10, QLatin1Char('0'));
      if (!Save(PaintFrame(i), QDir(args[1]).filePath(name))) return 1;
    }
    return 0;
  }
  if (command == QLatin1String("solid") && args.size() >= 3) {
    const int width = args.size() >= 5 ? args[3].toInt() : 320;
    const int height = args.size() >= 5 ? args[4].toInt() : 240;
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(QLatin1Char('#') + args[2]));
    return Save(image, args[1]) ? 0 : 1;
  }
  if (command == QLatin1String("indexed")) {
    QImage image(320, 240, QImage::Format_Indexed8);
    image.setColorCount(256);
    for (int i = 0; i < 256; ++i) image.setColor(i, qRgb(i, 255 - i, (i * 3) % 256));
    for (int y = 0; y < 240; ++y) {
      for (int x = 0; x < 320; ++x) image.setPixel(x, y, static_cast<uint>((x + y) % 256));
    }
    return Save(image, args[1]) ? 0 : 1;
  }
  if (command == QLatin1String("damaged") && args.size() >= 3) {
    QDir().mkpath(args[1]);
    for (const forge::NamedFile& damaged : forge::DamagedFrames(args[2].toInt())) {
      QFile file(QDir(args[1]).filePath(damaged.name));
      if (!file.open(QIODevice::WriteOnly) || file.write(damaged.bytes) != damaged.bytes.size()) return 1;
    }
    return 0;
  }
  if (command == QLatin1String("broken")) {
    QFile file(args[1]);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write("BM this is not a bitmap");
    return 0;
  }
  return Usage();
}
