// Decoding bitmap files: every storage gives the picture's own pixels, and a
// file that does not hold its whole picture gives none.
#include "frame_bitmap.h"
#include "bitmap_forge.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QRandomGenerator>
#include <QtEndian>

#include <string>
#include <vector>

namespace kestrel::stillbox {

namespace {

QImage Decode(const QByteArray& file) {
  return DecodeFrameBitmap(
      {reinterpret_cast<const std::uint8_t*>(file.constData()), static_cast<std::size_t>(file.size())});
}

// The picture as Qt's own writer stores it.
QByteArray SavedByQt(const QImage& picture) {
  QByteArray file;
  QBuffer buffer(&file);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(picture.save(&buffer, "BMP"));
  return file;
}

// Each pixel's colour, row by row from the top.
std::vector<QRgb> Pixels(const QImage& picture) {
  std::vector<QRgb> pixels;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) pixels.push_back(picture.pixel(x, y) | 0xFF000000u);
  }
  return pixels;
}

QImage Indexed(int width, int height, int colours) {
  QImage picture(width, height, QImage::Format_Indexed8);
  picture.setColorCount(colours);
  for (int i = 0; i < colours; ++i) picture.setColor(i, qRgb(i * 7 % 256, 255 - i, i * 31 % 256));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) picture.setPixel(x, y, static_cast<uint>((x * 5 + y * 3) % colours));
  }
  return picture;
}

QByteArray Little32(quint32 value) {
  QByteArray bytes(4, '\0');
  qToLittleEndian(value, bytes.data());
  return bytes;
}

QByteArray Palette(int entries) {
  QByteArray palette;
  for (int i = 0; i < entries; ++i) palette.append(3, char(i * 16)).append('\0');
  return palette;
}

std::vector<QRgb> Greys(std::initializer_list<int> levels) {
  std::vector<QRgb> pixels;
  for (int level : levels) pixels.push_back(qRgb(level, level, level));
  return pixels;
}

TEST(FrameBitmap, EveryStorageGivesThePicturesOwnPixels) {
  // 7 pixels wide, so that rows need filler bytes in every depth.
  QImage colours(7, 5, QImage::Format_RGB888);
  auto* random = QRandomGenerator::global();
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x) colours.setPixel(x, y, random->generate() | 0xFF000000u);
  }
  const QImage mono = Indexed(7, 5, 2).convertToFormat(QImage::Format_Mono);
  struct Case {
    const char* storage;
    QByteArray file;
    QImage expected;
  };
  std::vector<Case> cases = {
      {"24 bits, Qt's writer", SavedByQt(colours), colours},
      {"24 bits, our writer", forge::Rgb24(colours), colours},
      {"8 bits", SavedByQt(Indexed(7, 5, 200)), Indexed(7, 5, 200)},
      {"4 bits", SavedByQt(Indexed(7, 5, 16)), Indexed(7, 5, 16)},
      {"1 bit", SavedByQt(mono), mono},
  };
  // 32 bits, blue, green, red and a byte left over; and stored top row first.
  QByteArray plain32;
  QByteArray topDown24;
  for (int y = 4; y >= 0; --y) {
    for (int x = 0; x < 7; ++x) plain32.append(Little32(colours.pixel(x, y) & 0xFFFFFF));
  }
  for (int y = 0; y < 5; ++y) {
    topDown24.append(reinterpret_cast<const char*>(colours.convertToFormat(QImage::Format_BGR888).constScanLine(y)),
                     21);
    topDown24.append(3, '\0');
  }
  cases.push_back({"32 bits", forge::Bitmap(7, 5, 32, 0, 0, {}, plain32), colours});
  cases.push_back({"24 bits, top row first", forge::Bitmap(7, -5, 24, 0, 0, {}, topDown24), colours});
  for (const Case& c : cases) {
    const QImage decoded = Decode(c.file);
    ASSERT_EQ(decoded.size(), QSize(7, 5)) << c.storage;
    EXPECT_EQ(decoded.format(), QImage::Format_BGR888) << c.storage;
    EXPECT_EQ(Pixels(decoded), Pixels(c.expected)) << c.storage;
  }
}

TEST(FrameBitmap, SixteenBitChannelsAreScaledToTheFullRange) {
  // 5-5-5 without masks, and 5-6-5 by bit fields: white, pure red, one step
  // of green, black.
  QByteArray plain;
  for (quint16 pixel : {0x7FFF, 0x7C00, 0x0020, 0x0000}) plain.append(char(pixel & 0xFF)).append(char(pixel >> 8));
  QByteArray fields;
  for (quint16 pixel : {0xFFFF, 0xF800, 0x0020, 0x0000}) fields.append(char(pixel & 0xFF)).append(char(pixel >> 8));
  const QByteArray masks = Little32(0xF800) + Little32(0x07E0) + Little32(0x001F);
  EXPECT_EQ(Pixels(Decode(forge::Bitmap(4, 1, 16, 0, 0, {}, plain))),
            (std::vector<QRgb>{qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 8, 0), qRgb(0, 0, 0)}));
  EXPECT_EQ(Pixels(Decode(forge::Bitmap(4, 1, 16, 3, 0, masks, fields))),
            (std::vector<QRgb>{qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 4, 0), qRgb(0, 0, 0)}));
}

TEST(FrameBitmap, RunLengthDataDrawsRunsLiteralsAndJumpsWithSkippedPixelsInTheFirstColour) {
  // 8 bits, 6 x 3, bottom line first. Palette entry i is grey 16 * i.
  const QByteArray rle8 = QByteArray::fromHex(
      "0205"  // two of 5
      "0003070809"
      "00"        // three literals, padded to an even length
      "0106"      // one of 6
      "0000"      // end of line
      "00020301"  // jump 3 right and 1 up: the middle line is skipped
      "0304"      // three of 4
      "0001");    // end of bitmap
  EXPECT_EQ(Pixels(Decode(forge::Bitmap(6, 3, 8, 1, 16, Palette(16), rle8))),
            Greys({0, 0, 0, 64, 64, 64, 0, 0, 0, 0, 0, 0, 80, 80, 112, 128, 144, 96}));
  // 4 bits, 8 x 1: three literal nibbles (two bytes), then five alternating.
  const QByteArray rle4 = QByteArray::fromHex(
      "00033450"
      "0567"
      "0001");
  EXPECT_EQ(Pixels(Decode(forge::Bitmap(8, 1, 4, 2, 16, Palette(16), rle4))),
            Greys({48, 64, 80, 96, 112, 96, 112, 96}));
}

TEST(FrameBitmap, RefusesAFileThatDoesNotHoldItsWholePicture) {
  QImage picture(320, 240, QImage::Format_RGB888);
  picture.fill(Qt::darkCyan);
  const QByteArray sound = forge::Rgb24(picture);
  const std::vector<std::uint8_t> indices(320 * 240, 9);
  const QByteArray runLength = forge::Rle8(indices, 320, 240);
  ASSERT_FALSE(Decode(sound).isNull());
  ASSERT_FALSE(Decode(runLength).isNull());

  const auto headerWith = [&](int at, quint32 value, int bytes = 4) {
    QByteArray file = sound;
    for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<char>(value >> (8 * i));
    return file;
  };
  const QByteArray twoColours = Palette(2);
  const std::vector<std::pair<std::string, QByteArray>> damaged = {
      {"empty", {}},
      {"the signature alone", "BM"},
      {"cut in half", forge::Truncated(sound, sound.size() / 2)},
      {"one byte short", forge::Truncated(sound, sound.size() - 1)},
      {"60000 x 60000 declared", forge::WithDeclaredSize(sound, 60000, 60000)},
      {"-2147483648 rows declared", forge::WithDeclaredSize(sound, 320, INT32_MIN)},
      {"no width", forge::WithDeclaredSize(sound, 0, 240)},
      {"run-length data without its end mark", forge::Truncated(runLength, runLength.size() - 2)},
      {"run-length data cut in its middle", forge::Truncated(runLength, runLength.size() / 2)},
      {"a run longer than its row", forge::Rle8WithOverlongRun(320, 240)},
      {"literals beyond the row", forge::Bitmap(4, 1, 8, 1, 16, Palette(16),
                                                QByteArray::fromHex("0005010203040500"
                                                                    "0001"))},
      {"a jump out of the picture", forge::Bitmap(4, 2, 8, 1, 16, Palette(16),
                                                  QByteArray::fromHex("00020003"
                                                                      "0001"))},
      {"run-length data stored top row first", forge::Bitmap(4, -1, 8, 1, 16, Palette(16),
                                                             QByteArray::fromHex("0401"
                                                                                 "0001"))},
      {"a colour beyond the palette", forge::Bitmap(4, 1, 8, 0, 2, twoColours, QByteArray::fromHex("00010200"))},
      {"a palette cut short", forge::Truncated(forge::Bitmap(4, 1, 8, 0, 256, Palette(256), {}), 14 + 40 + 100)},
      {"an unknown header length", headerWith(14, 41)},
      {"two planes", headerWith(26, 2, 2)},
      {"7 bits per pixel", headerWith(28, 7, 2)},
      {"an unknown compression", headerWith(30, 4)},
      {"pixels inside the header", headerWith(10, 20)},
      {"pixels beyond the end", headerWith(10, 0x7FFFFFFF)},
  };
  for (const auto& [what, file] : damaged) EXPECT_TRUE(Decode(file).isNull()) << what;
}

}  // namespace

}  // namespace kestrel::stillbox
