// File names of any bytes, decoded and encoded without loss.
#include "platform/file_names.h"
#include "platform/local_directory_search.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrel::stillbox {

namespace {

TEST(FileNames, AnyBytesComeBackAsTheyWereAndUtf8DecodesAsUsual) {
  std::vector<QByteArray> names = {
      "plain.bmp",
      "caf\xC3\xA9.bmp",             // UTF-8
      "\xF0\x9F\x93\xB7 photo.bmp",  // beyond the basic plane
      "caf\xE9.bmp",                 // Latin-1
      "\xC3",                        // a sequence cut short
      "\xC0\xAF.bmp",                // an overlong form
      "\xED\xB2\x80.bmp",            // an encoded surrogate: must not pass for an escaped byte
      "\xF4\x90\x80\x80.bmp",        // beyond U+10FFFF
      "\x80\xBF\xFE\xFF",
  };
  for (int byte = 1; byte < 256; ++byte) names.push_back(QByteArray(1, static_cast<char>(byte)) + "x");
  for (const QByteArray& name : names) {
    EXPECT_EQ(EncodeFileName(DecodeFileName(name)), name) << name.toHex().toStdString();
  }
  EXPECT_EQ(DecodeFileName("caf\xC3\xA9.bmp"), QString::fromUtf8("caf\xC3\xA9.bmp"));
  EXPECT_EQ(DecodeFileName("\xF0\x9F\x93\xB7 photo.bmp"), QString::fromUtf8("\xF0\x9F\x93\xB7 photo.bmp"));
  EXPECT_NE(DecodeFileName("caf\xE9.bmp"), DecodeFileName("caf\xC3\xA9.bmp"));
}

TEST(FileNames, StrayBytesAreShownAsLatin1) {
  EXPECT_EQ(DisplayFileName(DecodeFileName("caf\xE9.bmp")), QString::fromUtf8("caf\xC3\xA9.bmp"));
  EXPECT_EQ(DisplayFileName(DecodeFileName("a\x81.bmp")), QString::fromUtf8("a\xEF\xBF\xBD.bmp"));
  EXPECT_EQ(DisplayFileName(DecodeFileName("ok.bmp")), "ok.bmp");
}

TEST(FileNames, PatternsMatchWithoutRegardToCase) {
  EXPECT_TRUE(CLocalDirectorySearch::Matches(u"frame.bmp", u"*.bmp"));
  EXPECT_TRUE(CLocalDirectorySearch::Matches(u"FRAME.BMP", u"*.bmp"));
  EXPECT_TRUE(CLocalDirectorySearch::Matches(DecodeFileName("caf\xE9.bmp"), u"*.bmp"));
  EXPECT_TRUE(CLocalDirectorySearch::Matches(u".bmp", u"*.bmp"));
  EXPECT_TRUE(CLocalDirectorySearch::Matches(u"a.bmp.bmp", u"*.bmp"));
  EXPECT_TRUE(CLocalDirectorySearch::Matches(u"ab.bmp", u"a?.bmp"));
  EXPECT_FALSE(CLocalDirectorySearch::Matches(u"frame.bmp~", u"*.bmp"));
  EXPECT_FALSE(CLocalDirectorySearch::Matches(u"frame.bm", u"*.bmp"));
  EXPECT_FALSE(CLocalDirectorySearch::Matches(u"frame.png", u"*.bmp"));
  EXPECT_FALSE(CLocalDirectorySearch::Matches(u"abc.bmp", u"a?.bmp"));
}

}  // namespace

}  // namespace kestrel::stillbox
