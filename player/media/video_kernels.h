// The vector kernels of the picture decoder's fast form, one table per
// instruction set, and the choice between them at run time.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrel {

// Places between neighbouring planes of a strip: room for the mirrored ends
// each row filter writes around its input.
inline constexpr int kStripGap = 4;

// How a decoder reconstructs pictures. Reference is the plain formula on
// every line of full-size planes; the others skip what the format never codes
// and run the line filters and colour conversion in vector lanes. All three
// give the same bytes.
enum class VideoPath { Reference, Sse2, Avx2 };

// Every kernel computes each output sample with the same operands in the same
// order as the plain formula (double precision, one rounding to float per
// output), so lanes change the speed and nothing else. The filters work on
// rows of doubles holding float values: each input is widened once, and the
// column pass hands its rounded outputs to the row pass still widened. Widths
// are multiples of 4 (32 for the colour conversion); pointers need no
// alignment.
struct VideoKernels {
  // `n` floats widened to doubles.
  void (*widen)(const float* in, int n, double* out);
  // One row pair of a column pass whose high-pass half is zero. low[i] is row
  // k - 1 + i of the low-pass half (i = 0 .. 3, mirrored at the ends); writes
  // output rows 2k (even) and 2k + 1 (odd), `width` values each, rounded to
  // float and kept as doubles.
  void (*columnPairLow)(const double* const low[4], int width, double* even, double* odd);
  // The same with a high-pass half: high[i] is its row k - 2 + i (i = 0 .. 4).
  void (*columnPairFull)(const double* const low[4], const double* const high[5], int width, double* even, double* odd);
  // One row: `half` low-pass values (and `half` high-pass values) into 2 half
  // outputs. Each half has two places before it and two after it, which the
  // kernel fills with the mirrored ends.
  // rowLow takes a strip of `planes` rows side by side, the input of plane p
  // at low + p (half + kStripGap), its output at out + p (2 half + kStripGap).
  void (*rowLow)(double* low, int half, int planes, float* out);
  void (*rowFull)(double* low, double* high, int half, float* out);
  // rowLow with each plane's outputs split: the even ones (positions 0, 2, ..)
  // in out[0 .. half), the odd ones in out[half .. 2 half), plane p's at
  // out + 2 p half.
  void (*rowLowSplit)(double* low, int half, int planes, float* out);
  // One row of `width` positions of the Y, U, V planes, each split as
  // rowLowSplit writes it, into blue-green-red bytes in position order.
  void (*convertSplitRow)(const float* y, const float* u, const float* v, int width, std::uint8_t* bgr);
};

// The kernels of a vector path, or nullptr for Reference and for a path this
// processor (or this build) cannot run.
const VideoKernels* KernelsFor(VideoPath path);
bool PathAvailable(VideoPath path);
// The fastest path this processor runs.
VideoPath BestVideoPath();

std::string_view PathName(VideoPath path);
std::optional<VideoPath> PathFromName(std::string_view name);

// The path a new decoder starts with: the one named by the environment
// variable KESTREL_VIDEO_PATH ("reference", "sse2", "avx2") when this
// processor runs it, otherwise the fastest. For comparing paths on real files.
VideoPath DefaultVideoPath();

}  // namespace kestrel
