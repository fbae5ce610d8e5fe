// Every fast path against the reference path: whole pictures on random,
// damaged and recorded payloads, and each kernel on random lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "colour_conversion.h"
#include "message_file.h"
#include "message_format.h"
#include "support/message_builder.h"
#include "video_decoder.h"
#include "video_kernels.h"
#include "wavelet_filters.h"
#include "wavelet_synthesis.h"

namespace kestrel {
namespace {

using testing::Encode;
using testing::RandomFrame;
using testing::ValueSpread;
using Bytes = std::vector<std::uint8_t>;

std::vector<VideoPath> FastPaths() {
  std::vector<VideoPath> paths;
  for (VideoPath path : {VideoPath::Sse2, VideoPath::Avx2})
    if (PathAvailable(path)) paths.push_back(path);
  return paths;
}

// Decodes `payload` on the reference path and on every fast path, into
// buffers poisoned with different bytes, so that a byte a path fails to write
// shows as a difference too.
class PathComparison {
 public:
  PathComparison() {
    EXPECT_TRUE(reference_.Init());
    EXPECT_TRUE(reference_.UsePath(VideoPath::Reference));
    for (VideoPath path : FastPaths()) {
      fast_.emplace_back(std::make_unique<CVideoDecoder>());
      EXPECT_TRUE(fast_.back()->Init());
      EXPECT_TRUE(fast_.back()->UsePath(path));
    }
  }

  // Describes the first difference, or returns "" when every path agrees.
  std::string Compare(const Bytes& payload, std::int8_t quality, bool doubleSize) {
    const std::size_t size = doubleSize ? kDoublePictureBytes : kPictureBytes;
    Bytes expected(size, 0xCD);
    reference_.SetQuality(quality);
    reference_.Decode(payload.data(), payload.size(), expected.data(), doubleSize);
    for (auto& decoder : fast_) {
      Bytes actual(size, 0x3C);
      decoder->SetQuality(quality);
      decoder->Decode(payload.data(), payload.size(), actual.data(), doubleSize);
      const std::string path(PathName(decoder->Path()));
      const auto [a, b] = std::mismatch(expected.begin(), expected.end(), actual.begin());
      if (a != expected.end())
        return path + ": byte " + std::to_string(a - expected.begin()) + " is " + std::to_string(*b) + ", not " +
               std::to_string(*a);
      const PayloadCheck& r = reference_.LastCheck();
      const PayloadCheck& f = decoder->LastCheck();
      if (r.countsCut != f.countsCut || r.countsMismatch != f.countsMismatch || r.ranPastEnd != f.ranPastEnd ||
          r.bitsUsed != f.bitsUsed)
        return path + ": the payload check differs";
      if (reference_.LastSymbols().values != decoder->LastSymbols().values) return path + ": the symbols differ";
    }
    return "";
  }

  std::size_t FastPathCount() const { return fast_.size(); }

 private:
  CVideoDecoder reference_;
  std::vector<std::unique_ptr<CVideoDecoder>> fast_;
};

TEST(VideoPaths, FastPathsRunWhereverTheProcessorAllows) {
#if defined(__x86_64__)
  // Every x86-64 processor has SSE2: the comparisons below must not skip.
  EXPECT_TRUE(PathAvailable(VideoPath::Sse2));
#endif
  EXPECT_TRUE(PathAvailable(VideoPath::Reference));
  EXPECT_TRUE(PathAvailable(BestVideoPath()));
  for (VideoPath path : {VideoPath::Reference, VideoPath::Sse2, VideoPath::Avx2})
    EXPECT_EQ(PathFromName(PathName(path)), path);
  EXPECT_FALSE(PathFromName("neon").has_value());

  CVideoDecoder decoder;
  ASSERT_TRUE(decoder.Init());
  for (VideoPath path : {VideoPath::Reference, VideoPath::Sse2, VideoPath::Avx2}) {
    const VideoPath before = decoder.Path();
    EXPECT_EQ(decoder.UsePath(path), PathAvailable(path));
    EXPECT_EQ(decoder.Path(), PathAvailable(path) ? path : before);
  }
  decoder.UsePath(VideoPath::Reference);
  ASSERT_TRUE(decoder.Init());
  EXPECT_EQ(decoder.Path(), VideoPath::Reference) << "the choice survives set-up";
}

TEST(VideoPaths, EnvironmentNamesThePathOfNewDecoders) {
  if (FastPaths().empty()) GTEST_SKIP() << "no vector path on this processor";
  const VideoPath last = FastPaths().back();
  ASSERT_EQ(setenv("KESTREL_VIDEO_PATH", "reference", 1), 0);
  EXPECT_EQ(CVideoDecoder().Path(), VideoPath::Reference);
  ASSERT_EQ(setenv("KESTREL_VIDEO_PATH", std::string(PathName(last)).c_str(), 1), 0);
  EXPECT_EQ(CVideoDecoder().Path(), last);
  ASSERT_EQ(setenv("KESTREL_VIDEO_PATH", "fastest-please", 1), 0);
  EXPECT_EQ(CVideoDecoder().Path(), BestVideoPath()) << "an unknown name is ignored";
  ASSERT_EQ(unsetenv("KESTREL_VIDEO_PATH"), 0);
  EXPECT_EQ(CVideoDecoder().Path(), BestVideoPath());
}

TEST(VideoPaths, RandomPayloadsDecodeAlikeOnEveryPath) {
  PathComparison paths;
  if (paths.FastPathCount() == 0) GTEST_SKIP() << "no vector path on this processor";
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    std::mt19937 rng(seed);
    const ValueSpread spread = seed % 2 ? ValueSpread::AsFrequencies : ValueSpread::Uniform;
    Bytes payload = Encode(RandomFrame(seed, spread));
    // Some cut short anywhere, some pure noise of any length.
    if (seed % 5 == 3) payload.resize(rng() % payload.size());
    if (seed % 5 == 4) {
      payload.resize(rng() % 20000);
      for (auto& byte : payload) byte = static_cast<std::uint8_t>(rng());
    }
    const auto quality = static_cast<std::int8_t>(seed % 4);
    const bool doubleSize = seed % 7 == 0;
    ASSERT_EQ(paths.Compare(payload, quality, doubleSize), "")
        << "seed " << seed << ", " << payload.size() << " bytes, quality " << int(quality);
  }
}

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(VideoPaths, RecordedAndFuzzSeedPayloadsDecodeAlikeOnEveryPath) {
  PathComparison paths;
  const std::filesystem::path top = KESTREL_SOURCE_DIR;
  int payloads = 0;
  // The fuzz target's inputs: a control byte (quality, double size), then the payload.
  for (const auto& entry : std::filesystem::directory_iterator(top / "player/media/tests/fuzz/corpus/payload")) {
    const Bytes input = ReadFile(entry.path());
    if (input.empty()) continue;
    const Bytes payload(input.begin() + 1, input.end());
    ASSERT_EQ(paths.Compare(payload, static_cast<std::int8_t>(input[0] & 3), (input[0] & 4) != 0), "") << entry.path();
    ++payloads;
  }
  // Every video record of the samples, the golden message and the fuzz seeds.
  std::vector<std::filesystem::path> messages = {top / "samples/demo.qrv",
                                                 top / "player/media/tests/golden/random.qrv"};
  for (const auto& entry : std::filesystem::directory_iterator(top / "player/media/tests/fuzz/corpus/message"))
    messages.push_back(entry.path());
  for (const auto& path : messages) {
    CMessageFile file;
    if (file.Open(path.c_str()) != OpenResult::Ok) continue;
    Bytes payload(kPayloadBufferBytes);
    for (Record record = file.ReadRecord(payload.data()); record.kind != RecordKind::EndOfData;
         record = file.ReadRecord(payload.data())) {
      if (record.kind != RecordKind::Video) continue;
      const Bytes exact(payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(record.bytesRead));
      ASSERT_EQ(paths.Compare(exact, 3, false), "") << path << " record at " << file.Position();
      ++payloads;
    }
  }
  EXPECT_GT(payloads, 60) << "the demo alone has 50 pictures";
}

// Random floats across the magnitudes the planes hold, with full mantissas, so
// that any change of operands or rounding shows.
std::vector<float> RandomLine(std::mt19937& rng, int n) {
  std::uniform_real_distribution<float> mantissa(-1.0f, 1.0f);
  std::uniform_int_distribution<int> exponent(-4, 16);
  std::vector<float> line(n);
  for (auto& v : line) v = std::ldexp(mantissa(rng), exponent(rng));
  return line;
}

// A row of doubles for the row filters: two spare places at each end.
std::vector<double> Widened(const VideoKernels& k, const float* values, int n) {
  std::vector<double> wide(n + 4, -1.0);
  k.widen(values, n, wide.data() + 2);
  return wide;
}

// Lines through the plain formula: the high-pass-only filter on one line, the
// low-pass-only ones on a strip of planes side by side, kStripGap apart.
TEST(VideoKernels, RowFiltersGiveThePlainFormulasValues) {
  constexpr int kPlanes = 3;
  std::mt19937 rng(11);
  for (VideoPath path : FastPaths()) {
    const VideoKernels& k = *KernelsFor(path);
    for (int half : {20, 40, 80, 160}) {
      std::vector<float> lines[kPlanes], expected[kPlanes], scratch(328);
      std::vector<double> strip(2 + kPlanes * (half + kStripGap), 7.0);
      for (int p = 0; p < kPlanes; ++p) {
        lines[p] = RandomLine(rng, 2 * half);
        if (p > 0) std::fill(lines[p].begin() + half, lines[p].end(), 0.0f);
        expected[p] = lines[p];
        SynthesizeLineReference(expected[p].data(), 2 * half, 1, scratch.data());
        if (p > 0) k.widen(lines[p].data(), half, strip.data() + 2 + (p - 1) * (half + kStripGap));
      }
      std::vector<double> low = Widened(k, lines[0].data(), half), high = Widened(k, lines[0].data() + half, half);
      std::vector<float> full(2 * half, -1.0f);
      k.rowFull(low.data() + 2, high.data() + 2, half, full.data());
      EXPECT_EQ(full, expected[0]) << PathName(path) << " half " << half;

      std::vector<float> out(2 * (2 * half + kStripGap), -1.0f), split(2 * 2 * half, -1.0f);
      k.rowLow(strip.data() + 2, half, kPlanes - 1, out.data());
      k.rowLowSplit(strip.data() + 2, half, kPlanes - 1, split.data());
      for (int p = 1; p < kPlanes; ++p) {
        const int q = p - 1;
        for (int i = 0; i < 2 * half; ++i) {
          ASSERT_EQ(out[q * (2 * half + kStripGap) + i], expected[p][i])
              << PathName(path) << " half " << half << " at " << i;
          ASSERT_EQ(split[q * 2 * half + i % 2 * half + i / 2], expected[p][i]) << PathName(path) << " split, at " << i;
        }
      }
      for (int g = 0; g < kStripGap; ++g) EXPECT_EQ(out[2 * half + g], -1.0f) << "the gap stays as it was";
    }
  }
}

TEST(VideoKernels, ColumnFiltersGiveThePlainFormulasValues) {
  // Columns of a small plane through the plain line formula; the kernel gets
  // the rows around each pair away from the ends, where no mirroring enters.
  constexpr int kWidth = 24, kHalf = 30;
  std::mt19937 rng(12);
  for (VideoPath path : FastPaths()) {
    const VideoKernels& k = *KernelsFor(path);
    for (bool withHigh : {false, true}) {
      std::vector<float> plane = RandomLine(rng, kWidth * 2 * kHalf);
      if (!withHigh) std::fill(plane.begin() + kHalf * kWidth, plane.end(), 0.0f);
      std::vector<float> expected = plane, scratch(328);
      for (int x = 0; x < kWidth; ++x) SynthesizeLineReference(expected.data() + x, 2 * kHalf, kWidth, scratch.data());
      std::vector<double> wide(plane.size());
      k.widen(plane.data(), static_cast<int>(plane.size()), wide.data());
      const double* low = wide.data();
      const double* high = wide.data() + kHalf * kWidth;
      for (int row = 2; row <= kHalf - 3; ++row) {
        const double* lows[4];
        const double* highs[5];
        for (int i = 0; i < 4; ++i) lows[i] = low + (row - 1 + i) * kWidth;
        for (int i = 0; i < 5; ++i) highs[i] = high + (row - 2 + i) * kWidth;
        std::vector<double> even(kWidth), odd(kWidth);
        if (withHigh)
          k.columnPairFull(lows, highs, kWidth, even.data(), odd.data());
        else
          k.columnPairLow(lows, kWidth, even.data(), odd.data());
        for (int x = 0; x < kWidth; ++x) {
          // Rounded to float once, and handed on as a double.
          ASSERT_EQ(even[x], double(expected[2 * row * kWidth + x])) << PathName(path) << " row " << row << " x " << x;
          ASSERT_EQ(odd[x], double(expected[(2 * row + 1) * kWidth + x]))
              << PathName(path) << " row " << row << " x " << x;
        }
      }
    }
  }
}

// The synthesis of an interleaved line s (mirrored about its end samples),
// written out independently of the code's shared formula: the oracle that
// shows the formula keeps the format's bracketing.
std::vector<float> PlainSynthesis(const std::vector<float>& line) {
  using namespace wavelet;
  const double lp0 = kLp0, lp1 = kLp1, lp2 = kLp2, lp3 = kLp3, lp4 = kLp4;
  const double hp0 = kHp0, hp1 = kHp1, hp2 = kHp2, hp3 = kHp3;
  const int n = static_cast<int>(line.size());
  auto s = [&](int i) { return double(line[i < 0 ? -i : i >= n ? 2 * (n - 1) - i : i]); };
  std::vector<float> out(n);
  for (int p = 0; p < n; p += 2) {
    const double even = (((hp0 * s(p)) - (lp1 * (s(p - 1) + s(p + 1)))) + (hp2 * (s(p - 2) + s(p + 2)))) -
                        (lp3 * (s(p - 3) + s(p + 3)));
    const double odd = ((((lp4 * (s(p + 5) + s(p - 3))) + (hp3 * (s(p + 4) + s(p - 2)))) + (hp1 * (s(p) + s(p + 2)))) +
                        (lp2 * (s(p - 1) + s(p + 3)))) +
                       (lp0 * s(p + 1));
    out[p] = static_cast<float>(even);
    out[p + 1] = static_cast<float>(odd);
  }
  return out;
}

// Lines where the grouping of a formula's sums shows: two inputs whose terms
// cancel exactly (one a tap times 2^60, the other minus another tap times
// 2^60) and a third input of 1. Added after the pair is complete, the 1 stays;
// added to either of them first, it is lost. Random lines cannot show a
// regrouping: it moves a double by an ulp, which rounding to float hides.
// Calls fn(s, halves, withHigh, where) for every such line: s interleaved,
// halves its low half followed by its high half (s[2m] is low value m,
// s[2m+1] high value m). Returns how many lines there were.
template <class Fn>
int ForEachGroupingLine(int half, Fn fn) {
  using namespace wavelet;
  const int n = 2 * half;
  const float taps[] = {kLp0, kLp1, kLp2, kLp3, kLp4, kHp0, kHp1, kHp2, kHp3};
  const float big = std::ldexp(1.0f, 60);
  int lines = 0;
  for (bool withHigh : {false, true}) {
    const int step = withHigh ? 1 : 2;  // without a high half, even places only
    for (int i = 8; i < 18; i += step)
      for (int j = i + step; j < 18; j += step)
        for (int q = 8; q < 18; q += step) {
          if (q == i || q == j) continue;
          for (float a : taps)
            for (float b : taps) {
              std::vector<float> s(n, 0.0f);
              s[i] = b * big;
              s[j] = -a * big;
              s[q] = 1.0f;
              std::vector<float> halves(n);
              for (int m = 0; m < half; ++m) {
                halves[m] = s[2 * m];
                halves[half + m] = s[2 * m + 1];
              }
              std::ostringstream description;
              description << "places " << i << " " << j << " " << q;
              fn(s, halves, withHigh, description.str());
              ++lines;
            }
        }
  }
  return lines;
}

TEST(VideoKernels, ReferenceKeepsTheGroupingOfEverySum) {
  constexpr int kHalf = 12;
  std::vector<float> scratch(328);
  const int lines = ForEachGroupingLine(
      kHalf, [&](const std::vector<float>& s, const std::vector<float>& halves, bool, const std::string& where) {
        std::vector<float> line = halves;
        SynthesizeLineReference(line.data(), 2 * kHalf, 1, scratch.data());
        ASSERT_EQ(line, PlainSynthesis(s)) << where;
      });
  EXPECT_GT(lines, 20000);
}

TEST(VideoKernels, FiltersKeepTheGroupingOfEverySum) {
  constexpr int kHalf = 12, kN = 2 * kHalf, kWidth = 4;
  for (VideoPath path : FastPaths()) {
    const VideoKernels& k = *KernelsFor(path);
    ForEachGroupingLine(kHalf, [&](const std::vector<float>&, const std::vector<float>& halves, bool withHigh,
                                   const std::string& where) {
      std::vector<float> expected = halves, scratch(328);
      SynthesizeLineReference(expected.data(), kN, 1, scratch.data());

      std::vector<double> low = Widened(k, halves.data(), kHalf), high = Widened(k, halves.data() + kHalf, kHalf);
      std::vector<float> row(kN);
      if (withHigh)
        k.rowFull(low.data() + 2, high.data() + 2, kHalf, row.data());
      else
        k.rowLow(low.data() + 2, kHalf, 1, row.data());
      ASSERT_EQ(row, expected) << PathName(path) << " row, " << where;

      // The same line down kWidth columns, for the row pairs whose rows all
      // lie inside the line.
      std::vector<double> wide(kN * kWidth);
      for (int r = 0; r < kN; ++r)
        for (int c = 0; c < kWidth; ++c) wide[r * kWidth + c] = halves[r];
      for (int pair = 2; pair <= kHalf - 3; ++pair) {
        const double* lows[4];
        const double* highs[5];
        for (int m = 0; m < 4; ++m) lows[m] = wide.data() + (pair - 1 + m) * kWidth;
        for (int m = 0; m < 5; ++m) highs[m] = wide.data() + (kHalf + pair - 2 + m) * kWidth;
        double even[kWidth], odd[kWidth];
        if (withHigh)
          k.columnPairFull(lows, highs, kWidth, even, odd);
        else
          k.columnPairLow(lows, kWidth, even, odd);
        for (int c = 0; c < kWidth; ++c) {
          ASSERT_EQ(even[c], double(expected[2 * pair])) << PathName(path) << " column, " << where;
          ASSERT_EQ(odd[c], double(expected[2 * pair + 1])) << PathName(path) << " column, " << where;
        }
      }
    });
  }
}

TEST(VideoKernels, ColourConversionGivesThePlainFormulasBytes) {
  // Values across and beyond the 16-bit range (the conversion keeps the low
  // 16 bits), fractions that truncate toward zero, and the ends of the range.
  std::mt19937 rng(13);
  constexpr int kWidth = 320;
  const float edges[] = {0.0f,     0.99f,    -0.99f,    1.0f,     -1.0f,    255.0f,   256.0f,    -32768.0f,
                         32767.0f, 32768.0f, -32769.0f, 65535.0f, 65536.0f, 70000.5f, -70000.5f, 127.5f};
  std::uniform_real_distribution<float> wide(-100000.0f, 100000.0f), narrow(-400.0f, 400.0f);
  for (VideoPath path : FastPaths()) {
    const VideoKernels& k = *KernelsFor(path);
    for (int round = 0; round < 400; ++round) {
      std::vector<float> yuv[3];
      for (auto& plane : yuv) {
        plane.resize(kWidth);
        for (int x = 0; x < kWidth; ++x) {
          const unsigned pick = rng() % 8;
          plane[x] = pick == 0 ? edges[rng() % std::size(edges)] : pick < 4 ? wide(rng) : narrow(rng);
        }
      }
      // Split as the row filter leaves them: even positions, then odd ones.
      std::vector<float> split[3];
      for (int p = 0; p < 3; ++p) {
        split[p].resize(kWidth);
        for (int x = 0; x < kWidth; ++x) split[p][x % 2 * (kWidth / 2) + x / 2] = yuv[p][x];
      }
      Bytes actual(3 * kWidth, 0x3C);
      k.convertSplitRow(split[0].data(), split[1].data(), split[2].data(), kWidth, actual.data());
      for (int x = 0; x < kWidth; ++x) {
        const Bgr e =
            BgrFromYuv(PlaneValueToInteger(yuv[0][x]), PlaneValueToInteger(yuv[1][x]), PlaneValueToInteger(yuv[2][x]));
        ASSERT_EQ(actual[3 * x], e.blue) << PathName(path) << " Y U V " << yuv[0][x] << " " << yuv[1][x] << " "
                                         << yuv[2][x];
        ASSERT_EQ(actual[3 * x + 1], e.green)
            << PathName(path) << " Y U V " << yuv[0][x] << " " << yuv[1][x] << " " << yuv[2][x];
        ASSERT_EQ(actual[3 * x + 2], e.red)
            << PathName(path) << " Y U V " << yuv[0][x] << " " << yuv[1][x] << " " << yuv[2][x];
      }
    }
  }
}

}  // namespace
}  // namespace kestrel
