// The Y4M reader over streams in memory: the memory it takes for a header
// that announces more than the stream holds, and frames read whole across
// the steps in which the first frame's planes grow.
#include <malloc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "byte_source.h"
#include "y4m_reader.h"

namespace kestrel::tool {
namespace {

std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// Bytes in memory, noting at each read how much the heap holds: what the
// reader has taken by the time it waits for the frame's bytes.
class HeapNotingSource : public ByteSource {
 public:
  explicit HeapNotingSource(const std::string& bytes)
      : bytes_(bytes), source_(reinterpret_cast<const std::uint8_t*>(bytes_.data()), bytes_.size()) {}
  std::size_t Read(void* into, std::size_t size) override {
    peak_ = std::max(peak_, HeapInUse());
    return source_.Read(into, size);
  }
  bool Failed() const override { return false; }
  std::size_t Peak() const { return peak_; }

 private:
  std::string bytes_;
  MemoryByteSource source_;
  std::size_t peak_ = 0;
};

TEST(Y4mReader, AHeaderAnnouncingLargePicturesTakesMemoryOnlyForTheBytesThatCome) {
  // 8192 x 8192 at 4:4:4 announces 192 MiB a frame; the stream has 1000 bytes.
  HeapNotingSource source("YUV4MPEG2 W8192 H8192 C444\nFRAME\n" + std::string(1000, '\x80'));
  const std::size_t before = HeapInUse();
  Y4mReader reader(source);
  std::string why;
  ASSERT_TRUE(reader.ReadHeader(&why)) << why;
  std::vector<std::uint8_t> rgb;
  EXPECT_EQ(reader.Next(&rgb, &why), Y4mReader::Frame::Damaged);
  EXPECT_EQ(why, "frame 0: cut short");
  EXPECT_LT(source.Peak() - before, std::size_t{8} << 20);
  EXPECT_TRUE(rgb.empty());
}

TEST(Y4mReader, FramesLargerThanTheFirstStepAreReadWhole) {
  // Mono 1024 x 1536: 1.5 MiB a frame, more than the planes start at. Each
  // frame's luma is a ramp offset by the frame, so a byte out of place or a
  // frame out of step shows in the picture.
  constexpr int kWidth = 1024, kHeight = 1536;
  constexpr std::size_t kPixels = std::size_t(kWidth) * kHeight;
  std::string stream = "YUV4MPEG2 W" + std::to_string(kWidth) + " H" + std::to_string(kHeight) + " Cmono\n";
  auto luma = [](std::size_t i, int frame) { return static_cast<std::uint8_t>(16 + (i * 7 + frame * 13) % 219); };
  for (int frame = 0; frame < 3; ++frame) {
    stream += "FRAME\n";
    for (std::size_t i = 0; i < kPixels; ++i) stream += static_cast<char>(luma(i, frame));
  }
  HeapNotingSource source(stream);
  Y4mReader reader(source);
  std::string why;
  ASSERT_TRUE(reader.ReadHeader(&why)) << why;
  for (int frame = 0; frame < 3; ++frame) {
    std::vector<std::uint8_t> rgb;
    // The middle frame is passed over, as a dropped frame is.
    ASSERT_EQ(reader.Next(frame == 1 ? nullptr : &rgb, &why), Y4mReader::Frame::Read) << why;
    if (frame == 1) continue;
    ASSERT_EQ(rgb.size(), kPixels * 3);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < kPixels; ++i) {
      const auto grey = static_cast<std::uint8_t>(std::lround((luma(i, frame) - 16) * (255.0 / 219.0)));
      wrong += rgb[i * 3] != grey || rgb[i * 3 + 1] != grey || rgb[i * 3 + 2] != grey;
    }
    EXPECT_EQ(wrong, 0u) << "frame " << frame;
  }
  EXPECT_EQ(reader.Next(nullptr, &why), Y4mReader::Frame::End);
}

}  // namespace
}  // namespace kestrel::tool
