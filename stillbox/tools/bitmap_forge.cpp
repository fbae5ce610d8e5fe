#include "bitmap_forge.h"

#include <QtEndian>

#include <algorithm>

namespace kestrel::stillbox::forge {

namespace {

constexpr int kHeaderBytes = 14 + 40;

void Put16(QByteArray& bytes, int at, quint16 value) { qToLittleEndian(value, bytes.data() + at); }
void Put32(QByteArray& bytes, int at, quint32 value) { qToLittleEndian(value, bytes.data() + at); }

QByteArray GreyPalette() {
  QByteArray palette;
  for (int i = 0; i < 256; ++i) palette.append(3, char(i)).append('\0');
  return palette;
}

}  // namespace

QByteArray Bitmap(int width, int height, int bits, quint32 compression, int paletteEntries, const QByteArray& extra,
                  const QByteArray& pixels) {
  QByteArray bytes(kHeaderBytes, '\0');
  const auto offset = static_cast<int>(kHeaderBytes + extra.size());
  const auto pixelBytes = static_cast<int>(pixels.size());
  bytes[0] = 'B';
  bytes[1] = 'M';
  Put32(bytes, 2, static_cast<quint32>(offset + pixelBytes));
  Put32(bytes, 10, static_cast<quint32>(offset));
  Put32(bytes, 14, 40);
  Put32(bytes, 18, static_cast<quint32>(width));
  Put32(bytes, 22, static_cast<quint32>(height));
  Put16(bytes, 26, 1);
  Put16(bytes, 28, static_cast<quint16>(bits));
  Put32(bytes, 30, compression);
  Put32(bytes, 34, static_cast<quint32>(pixelBytes));
  Put32(bytes, 46, static_cast<quint32>(paletteEntries));
  return bytes + extra + pixels;
}

QByteArray Rgb24(const QImage& picture) {
  const QImage rows = picture.convertToFormat(QImage::Format_BGR888);
  const int rowBytes = (rows.width() * 3 + 3) / 4 * 4;
  QByteArray pixels;
  for (int y = rows.height() - 1; y >= 0; --y) {
    QByteArray row(reinterpret_cast<const char*>(rows.constScanLine(y)), rows.width() * 3);
    row.resize(rowBytes, '\0');
    pixels.append(row);
  }
  return Bitmap(rows.width(), rows.height(), 24, 0, 0, {}, pixels);
}

QByteArray Rle8(const std::vector<std::uint8_t>& indices, int width, int height) {
  QByteArray data;
  for (int line = 0; line < height; ++line) {
    const std::uint8_t* row = &indices[static_cast<std::size_t>(height - 1 - line) * static_cast<std::size_t>(width)];
    for (int x = 0; x < width;) {
      int run = 1;
      while (x + run < width && run < 255 && row[x + run] == row[x]) ++run;
      data.append(char(run));
      data.append(char(row[x]));
      x += run;
    }
    data.append(2, '\0');  // end of line
  }
  data.append('\0').append('\1');  // end of bitmap
  return Bitmap(width, height, 8, 1, 256, GreyPalette(), data);
}

QByteArray Truncated(const QByteArray& file, qsizetype keep) { return file.left(keep); }

QByteArray WithDeclaredSize(QByteArray file, int width, int height) {
  Put32(file, 18, static_cast<quint32>(width));
  Put32(file, 22, static_cast<quint32>(height));
  return file;
}

QByteArray WithFlippedHeaderBit(QByteArray file, int bit) {
  const int at = bit / 8 % kHeaderBytes;
  file[at] = static_cast<char>(file[at] ^ (1 << (bit % 8)));
  return file;
}

QByteArray Rle8WithOverlongRun(int width, int height) {
  QByteArray data;
  // Runs of one more pixel than the row holds.
  for (int left = width + 1; left > 0; left -= 255) data.append(char(std::min(left, 255))).append('\7');
  data.append('\0').append('\1');  // end of bitmap
  return Bitmap(width, height, 8, 1, 256, GreyPalette(), data);
}

std::vector<NamedFile> DamagedFrames(int count) {
  QImage picture(320, 240, QImage::Format_RGB888);
  std::vector<std::uint8_t> indices(320 * 240);
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 320; ++x) {
      picture.setPixelColor(x, y, QColor(x % 256, y, (x * y) % 256));
      indices[static_cast<std::size_t>(y) * 320 + static_cast<std::size_t>(x)] =
          static_cast<std::uint8_t>(x / 40 * 30 + y / 60);
    }
  }
  const QByteArray sound = Rgb24(picture);
  const QByteArray runLength = Rle8(indices, 320, 240);
  std::vector<NamedFile> files;
  for (int i = 0; i < count; ++i) {
    QByteArray bytes;
    QString kind;
    switch (i % 7) {
      case 0:
        kind = QStringLiteral("truncated");
        bytes = Truncated(sound, sound.size() / 2 + i);
        break;
      case 1:
        kind = QStringLiteral("flipped");
        bytes = WithFlippedHeaderBit(sound, i * 37);
        break;
      case 2:
        kind = QStringLiteral("rle-overrun");
        bytes = Rle8WithOverlongRun(320, 240);
        break;
      case 3:
        kind = QStringLiteral("rle-cut");
        bytes = Truncated(runLength, runLength.size() - 2 - i % 500);
        break;
      case 4:
        kind = QStringLiteral("huge");
        bytes = WithDeclaredSize(sound, 60000, 60000);
        break;
      case 5:
        kind = QStringLiteral("rle-flipped");
        bytes = WithFlippedHeaderBit(runLength, i * 53);
        break;
      default:
        kind = QStringLiteral("empty");
        break;
    }
    files.push_back({QStringLiteral("damaged_%1_%2.bmp").arg(i, 5, 10, QLatin1Char('0')).arg(kind), bytes});
  }
  return files;
}

}  // namespace kestrel::stillbox::forge
