// The check of PNG chunk lengths that encode makes before Qt's image reader
// sees a file: chunks that run past the end are named, at the exact byte;
// well-formed files, files cut between chunks and what follows IEND pass.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <string>

#include "png_chunks.h"

namespace kestrel::tool {
namespace {

std::string Check(const std::string& bytes) {
  return PngChunkPastEnd(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// A small PNG as Qt writes it: IHDR, IDAT, IEND.
std::string SmallPng() {
  QImage image(7, 5, QImage::Format_RGB888);
  image.fill(Qt::darkCyan);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, "PNG"));
  return bytes.toStdString();
}

TEST(PngChunkPastEnd, NamesOnlyAChunkWhoseDataRunsPastTheEnd) {
  const std::string png = SmallPng();
  const std::size_t idat = png.find("IDAT") - 4;
  ASSERT_LT(idat, png.size());
  std::size_t idatLength = 0;
  for (int i = 0; i < 4; ++i) idatLength = idatLength << 8 | std::uint8_t(png[idat + i]);
  const std::size_t idatEnd = idat + 8 + idatLength;  // the CRC follows
  EXPECT_EQ(Check(png), "");
  EXPECT_EQ(Check("not a picture at all"), "");
  // Cut inside IDAT's data: one byte short is refused, all of it is not.
  EXPECT_EQ(Check(png.substr(0, idatEnd - 1)), "IDAT");
  EXPECT_EQ(Check(png.substr(0, idatEnd)), "");
  // Cut in IDAT's CRC or between chunks: the reader's to report.
  EXPECT_EQ(Check(png.substr(0, idatEnd + 2)), "");
  EXPECT_EQ(Check(png.substr(0, idatEnd + 4)), "");
  // A chunk announcing 2 GB, and bytes after IEND, which are never read.
  std::string huge = png.substr(0, idat) + std::string("\x7a\x44\x41\x54tEXt", 8) + png.substr(idat);
  EXPECT_EQ(Check(huge), "tEXt");
  EXPECT_EQ(Check(png + std::string("\xff\xff\xff\xff"
                                    "junk",
                                    8)),
            "");
  // Unprintable names are shown safely.
  huge[idat + 4] = '\x01';
  EXPECT_EQ(Check(huge), "?EXt");
}

}  // namespace
}  // namespace kestrel::tool
