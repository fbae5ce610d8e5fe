// Paints the player's pictures (icons, the hand cursor and the About bitmap)
// at one and two times their size into the pictures folder:
//   player_paint_pictures OUTPUT_DIR
// The button icons are pixel art, sampled per pixel so that both scales stay
// crisp; the larger pictures are drawn with antialiasing at each scale.
#include <cmath>
#include <cstdio>
#include <functional>

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

namespace {

// The face of the transport icons; the end-to-end tests look for it exactly.
const QColor kButtonBlue(0x1E, 0x5A, 0xC8);
const QColor kEdgeLight(0xFF, 0xFF, 0xFF);
const QColor kEdgeDark(0x80, 0x80, 0x80);

using Shape = std::function<bool(double x, double y)>;  // in 32 x 32 icon units

// A blue shape lit from the top left: pixels whose upper or left neighbour
// (one icon unit away) lies outside are white, those whose lower or right
// neighbour does are grey.
QImage PaintTransportIcon(const Shape& inside, int scale) {
  const int size = 32 * scale;
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  auto in = [&](int px, int py) { return inside((px + 0.5) / scale, (py + 0.5) / scale); };
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      if (!in(x, y)) continue;
      bool light = false;
      bool dark = false;
      for (int k = 1; k <= scale; ++k) {
        light = light || !in(x - k, y) || !in(x, y - k);
        dark = dark || !in(x + k, y) || !in(x, y + k);
      }
      image.setPixelColor(x, y, light ? kEdgeLight : dark ? kEdgeDark : kButtonBlue);
    }
  }
  return image;
}

bool InPlay(double x, double y) {
  // Pointing right: from the left edge at x = 9 to the tip at (25, 16).
  if (x < 9 || y < 5 || y > 27) return false;
  const double half = 11.0 * (1.0 - (x - 9.0) / 16.0);
  return std::fabs(y - 16.0) <= half;
}

bool InPause(double x, double y) {
  if (y < 6 || y >= 26) return false;
  return (x >= 8 && x < 14) || (x >= 18 && x < 24);
}

bool InStop(double x, double y) { return x >= 8 && x < 24 && y >= 8 && y < 24; }

// Mixer faders on a panel with a loudspeaker in front of it.
QImage PaintVolumeIcon(int scale) {
  const int size = 32 * scale;
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(scale, scale);
  const QPen outline(QColor(0x30, 0x30, 0x30), 1.0);

  // The panel.
  QLinearGradient panel(0, 2, 0, 24);
  panel.setColorAt(0, QColor(0xF4, 0xF4, 0xF0));
  panel.setColorAt(1, QColor(0xB8, 0xB8, 0xB0));
  p.setPen(outline);
  p.setBrush(panel);
  p.drawRoundedRect(QRectF(1.5, 2.5, 23, 21), 2, 2);
  // Three fader slots with their knobs at different heights.
  const double knobs[] = {14.0, 8.0, 11.0};
  for (int i = 0; i < 3; ++i) {
    const double x = 6.5 + i * 6.5;
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.5));
    p.drawLine(QPointF(x, 5.5), QPointF(x, 20.5));
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.0));
    p.setBrush(QColor(0xE0, 0x40, 0x30));
    p.drawRect(QRectF(x - 2.5, knobs[i] - 1.5, 5, 3));
  }

  // The loudspeaker: a box and a cone opening to the right, and two waves.
  p.setPen(QPen(Qt::black, 1.0));
  p.setBrush(QColor(0x50, 0x50, 0x58));
  p.drawRect(QRectF(12.5, 19.5, 4, 7));
  QPolygonF cone;
  cone << QPointF(16.5, 19.5) << QPointF(22.5, 14.5) << QPointF(22.5, 31.0) << QPointF(16.5, 26.5);
  p.setBrush(QColor(0x70, 0x70, 0x78));
  p.drawPolygon(cone);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x10, 0x10, 0x10), 1.4, Qt::SolidLine, Qt::RoundCap));
  p.drawArc(QRectF(20.0, 17.5, 6, 10), -60 * 16, 120 * 16);
  p.drawArc(QRectF(21.0, 15.0, 9.5, 15), -60 * 16, 120 * 16);
  return image;
}

// A pointing hand, black outline on white, the index finger's tip at (13, 9).
QImage PaintHandCursor(int scale) {
  const int size = 32 * scale;
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainterPath hand;
  // Index finger, up from the palm, its rounded tip touching y = 9.
  hand.moveTo(11, 20);
  hand.lineTo(11, 11);
  hand.arcTo(QRectF(11, 9, 4, 4), 180, -180);
  hand.lineTo(15, 17);
  // Three folded fingers as knuckles along the top of the palm.
  hand.arcTo(QRectF(15, 15, 3, 3), 180, -180);
  hand.arcTo(QRectF(18, 16, 3, 3), 180, -180);
  hand.arcTo(QRectF(21, 17, 3, 3), 180, -180);
  hand.lineTo(24, 24);
  hand.quadTo(24, 29, 20, 30);
  hand.lineTo(14, 30);
  // The thumb, folded in along the left.
  hand.quadTo(11, 29, 9, 25);
  hand.lineTo(6, 20);
  hand.quadTo(6, 18, 8, 18.5);
  hand.lineTo(11, 22);
  hand.closeSubpath();

  // Monochrome: draw at eight times the size, then threshold.
  const int fine = 8;
  QImage big(size * fine, size * fine, QImage::Format_ARGB32);
  big.fill(Qt::transparent);
  {
    QPainter p(&big);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale * fine, scale * fine);
    p.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.translate(0.0, 0.0);
    p.drawPath(hand);
    p.setPen(QPen(Qt::black, 0.8));
    p.drawLine(QPointF(15, 18), QPointF(15, 20.5));
    p.drawLine(QPointF(18, 19), QPointF(18, 21));
    p.drawLine(QPointF(21, 20), QPointF(21, 21.5));
  }
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      int dark = 0, light = 0;
      for (int j = 0; j < fine; ++j) {
        for (int i = 0; i < fine; ++i) {
          const QColor c = big.pixelColor(x * fine + i, y * fine + j);
          if (c.alpha() < 128) continue;
          (c.lightness() < 128 ? dark : light)++;
        }
      }
      const int covered = dark + light;
      if (covered * 2 < fine * fine) continue;
      image.setPixelColor(x, y, dark * 3 >= covered ? QColor(Qt::black) : QColor(Qt::white));
    }
  }
  return image;
}

// The application: a message card with a play mark under a bird's wing.
QImage PaintAppIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size / 64.0;
  p.scale(s, s);
  QLinearGradient tile(0, 0, 0, 64);
  tile.setColorAt(0, QColor(0x3A, 0x8E, 0xE6));
  tile.setColorAt(1, QColor(0x14, 0x3C, 0x96));
  p.setPen(QPen(QColor(0x0C, 0x28, 0x64), 1.5));
  p.setBrush(tile);
  p.drawRoundedRect(QRectF(3, 3, 58, 58), 11, 11);
  // A speech-bubble screen.
  QPainterPath bubble;
  bubble.addRoundedRect(QRectF(11, 14, 42, 30), 6, 6);
  QPolygonF tail;
  tail << QPointF(20, 42) << QPointF(17, 53) << QPointF(30, 43);
  QPainterPath tailPath;
  tailPath.addPolygon(tail);
  bubble = bubble.united(tailPath);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xFA, 0xFA, 0xF5));
  p.drawPath(bubble);
  // Play mark.
  QPolygonF play;
  play << QPointF(27, 20) << QPointF(27, 38) << QPointF(41, 29);
  p.setBrush(QColor(0xE8, 0x6A, 0x1A));
  p.drawPolygon(play);
  // A wing over the corner: the bird the product is named after.
  QPainterPath wing;
  wing.moveTo(36, 12);
  wing.cubicTo(44, 4, 54, 4, 60, 8);
  wing.cubicTo(53, 9, 48, 12, 45, 17);
  wing.cubicTo(42, 14, 39, 13, 36, 12);
  p.setBrush(QColor(0x5A, 0x32, 0x14));
  p.drawPath(wing);
  return image;
}

// The About box's picture: a kestrel hovering over fields at dusk.
QImage PaintAboutBitmap(int scale) {
  QImage image(192 * scale, 96 * scale, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(scale, scale);
  QLinearGradient sky(0, 0, 0, 96);
  sky.setColorAt(0, QColor(0x24, 0x4C, 0x9C));
  sky.setColorAt(0.7, QColor(0xF0, 0xA8, 0x60));
  sky.setColorAt(1, QColor(0xF8, 0xD8, 0x90));
  p.fillRect(QRectF(0, 0, 192, 96), sky);
  QRadialGradient sun(QPointF(140, 70), 22);
  sun.setColorAt(0, QColor(0xFF, 0xF4, 0xC0));
  sun.setColorAt(1, QColor(0xFF, 0xD0, 0x70, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(sun);
  p.drawEllipse(QPointF(140, 70), 22, 22);
  // Two rows of hills.
  QPainterPath far;
  far.moveTo(0, 74);
  far.cubicTo(40, 60, 80, 78, 120, 68);
  far.cubicTo(150, 62, 175, 70, 192, 66);
  far.lineTo(192, 96);
  far.lineTo(0, 96);
  p.setBrush(QColor(0x5E, 0x7A, 0x48));
  p.drawPath(far);
  QPainterPath near;
  near.moveTo(0, 86);
  near.cubicTo(50, 76, 110, 92, 192, 80);
  near.lineTo(192, 96);
  near.lineTo(0, 96);
  p.setBrush(QColor(0x3C, 0x58, 0x2C));
  p.drawPath(near);
  // The kestrel, wings spread.
  QPainterPath bird;
  bird.moveTo(62, 34);
  bird.cubicTo(50, 22, 36, 20, 24, 24);
  bird.cubicTo(38, 28, 48, 34, 56, 40);
  bird.lineTo(60, 52);
  bird.lineTo(66, 52);
  bird.lineTo(70, 40);
  bird.cubicTo(78, 34, 88, 28, 102, 24);
  bird.cubicTo(90, 20, 76, 22, 66, 34);
  bird.closeSubpath();
  p.setBrush(QColor(0x4A, 0x28, 0x10));
  p.drawPath(bird);
  p.drawEllipse(QPointF(64, 32), 3.2, 3.2);
  return image;
}

bool Save(const QImage& image, const QString& path) {
  if (image.save(path)) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: player_paint_pictures OUTPUT_DIR\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  bool ok = QDir().mkpath(out.path());
  for (int scale = 1; scale <= 2; ++scale) {
    const QString suffix = scale == 1 ? QString() : QStringLiteral("@2x");
    ok = Save(PaintTransportIcon(InPlay, scale), out.filePath("icon131" + suffix + ".png")) && ok;
    ok = Save(PaintTransportIcon(InPause, scale), out.filePath("icon132" + suffix + ".png")) && ok;
    ok = Save(PaintTransportIcon(InStop, scale), out.filePath("icon133" + suffix + ".png")) && ok;
    ok = Save(PaintVolumeIcon(scale), out.filePath("icon135" + suffix + ".png")) && ok;
    ok = Save(PaintHandCursor(scale), out.filePath("cursor134" + suffix + ".png")) && ok;
    ok = Save(PaintAboutBitmap(scale), out.filePath("bitmap138" + suffix + ".png")) && ok;
  }
  for (int size : {16, 32, 48, 64, 128, 256}) {
    ok = Save(PaintAppIcon(size), out.filePath(QStringLiteral("icon129-%1.png").arg(size))) && ok;
  }
  return ok ? 0 : 1;
}
