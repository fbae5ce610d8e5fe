#include "video_encoder.h"

#include <algorithm>
#include <cmath>

#include "message_format.h"
#include "video_layout.h"
#include "video_payload_writer.h"
#include "wavelet_analysis.h"

namespace kestrel {

namespace {

constexpr int kStride = kPictureWidth;
constexpr std::size_t kPlaneValues = std::size_t{kPictureWidth} * kPictureHeight;
constexpr int kQuality = kDefaultQuality;

// The decoder truncates plane values toward zero and floors its colour sums;
// aiming half a unit away from zero lands both on the wanted integers.
inline float AwayFromZero(double v) { return static_cast<float>(v + (v < 0 ? -0.5 : 0.5)); }

int Quantise(float coefficient, int step) { return static_cast<int>(std::lround(coefficient / step)); }

}  // namespace

struct CVideoEncoder::Planes {
  float y[kPlaneValues], u[kPlaneValues], v[kPlaneValues];
};

CVideoEncoder::CVideoEncoder()
    : book_(BuildVideoCodeBook(BuildVideoCodeTables())),
      planes_(std::make_unique<Planes>()),
      symbols_(std::make_unique<VideoSymbols>()) {}

CVideoEncoder::~CVideoEncoder() = default;

void CVideoEncoder::ToYuv(const std::uint8_t* picture) {
  // The decoder's colours: B = Y + 260/128 U, G = Y - 51/128 U - 74/128 V,
  // R = Y + 146/128 V. Solved for Y, U, V.
  constexpr double a = 51.0 / 260.0, b = 74.0 / 146.0;
  for (std::size_t i = 0; i < kPlaneValues; ++i) {
    const double B = picture[3 * i] + 0.5, G = picture[3 * i + 1] + 0.5, R = picture[3 * i + 2] + 0.5;
    const double Y = (G + a * B + b * R) / (1.0 + a + b);
    planes_->y[i] = static_cast<float>(Y + 0.5);
    planes_->u[i] = AwayFromZero((B - Y) * 128.0 / 260.0);
    planes_->v[i] = AwayFromZero((R - Y) * 128.0 / 146.0);
  }
}

void CVideoEncoder::QuantiseBase(VideoEncodeStats& stats) {
  struct Base {
    const float* plane;
    int width, height;
    StepIndex step;
    CodeTableId run;
  };
  const Base bases[3] = {
      {planes_->y, kLumaBaseWidth, kLumaBaseHeight, kStepYBase, CodeTableId::LumaBase},
      {planes_->u, kChromaBaseWidth, kChromaBaseHeight, kStepUBase, CodeTableId::UBase},
      {planes_->v, kChromaBaseWidth, kChromaBaseHeight, kStepVBase, CodeTableId::VBase},
  };
  for (const Base& base : bases) {
    const SymbolRegion& region = RegionFor(base.run);
    const int lowest = MinValue(book_[base.run].size(), region.centre), highest = region.centre;
    const int step = kStepTable[kQuality][base.step];
    std::int16_t* out = symbols_->values.data() + region.start;
    // Predict exactly as the decoder reconstructs: what a clamped difference
    // could not carry is left in the next value's difference.
    auto code = [&](int target, std::int16_t predicted) {
      const int d = std::clamp(target - predicted, lowest, highest);
      if (d != target - predicted) ++stats.clampedBaseDifferences;
      *out++ = static_cast<std::int16_t>(d);
      return static_cast<std::int16_t>(predicted + d);
    };
    std::int16_t rowStart = 0;
    for (int y = 0; y < base.height; ++y) {
      std::int16_t a = code(Quantise(base.plane[y * kStride], step), rowStart);
      rowStart = a;
      for (int x = 1; x < base.width; ++x) a = code(Quantise(base.plane[y * kStride + x], step), a);
    }
  }
}

void CVideoEncoder::QuantiseDetail(int deadZone, VideoEncodeStats& stats) {
  const int coarseStep = kStepTable[kQuality][kStepLevel3], diagonalStep = kStepTable[kQuality][kStepLevel3Diagonal];
  const int fineStep = kStepTable[kQuality][kStepLevel2];
  const SymbolRegion& coarseRegion = RegionFor(CodeTableId::CoarseDetail);
  const SymbolRegion& fineRegion = RegionFor(CodeTableId::FineDetail);
  const int coarseLow = MinValue(book_[CodeTableId::CoarseDetail].size(), coarseRegion.centre);
  const int fineLow = MinValue(book_[CodeTableId::FineDetail].size(), fineRegion.centre);

  std::int16_t* coarse = symbols_->values.data() + coarseRegion.start;
  std::int16_t* fine = symbols_->values.data() + fineRegion.start;
  std::uint32_t coarseCount = 0, fineCount = 0;
  symbols_->skipMap.fill(0);
  stats.codedBlocks = 0;

  auto take = [&](int x0, int y0, int size, int step, int low, int high, std::int16_t* into) {
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        int q = Quantise(planes_->y[(y0 + y) * kStride + x0 + x], step);
        if (std::abs(q) <= deadZone) q = 0;
        const int kept = std::clamp(q, low, high);
        if (kept != q) ++stats.clampedDetailValues;
        *into++ = static_cast<std::int16_t>(kept);
      }
  };
  for (int j = 0; j < kBlockRows; ++j) {
    for (int i = 0; i < kBlockColumns; ++i) {
      std::int16_t c[kCoarseValuesPerBlock], f[kFineValuesPerBlock];
      take(40 + 2 * i, 2 * j, 2, coarseStep, coarseLow, coarseRegion.centre, c);
      take(80 + 4 * i, 4 * j, 4, fineStep, fineLow, fineRegion.centre, f);
      take(2 * i, 30 + 2 * j, 2, coarseStep, coarseLow, coarseRegion.centre, c + 4);
      take(4 * i, 60 + 4 * j, 4, fineStep, fineLow, fineRegion.centre, f + 16);
      take(40 + 2 * i, 30 + 2 * j, 2, diagonalStep, coarseLow, coarseRegion.centre, c + 8);
      const bool empty = std::all_of(c, c + kCoarseValuesPerBlock, [](auto v) { return v == 0; }) &&
                         std::all_of(f, f + kFineValuesPerBlock, [](auto v) { return v == 0; });
      symbols_->SetBlockSkipped(j * kBlockColumns + i, empty);
      if (empty) continue;
      ++stats.codedBlocks;
      coarse = std::copy(c, c + kCoarseValuesPerBlock, coarse);
      fine = std::copy(f, f + kFineValuesPerBlock, fine);
      coarseCount += kCoarseValuesPerBlock;
      fineCount += kFineValuesPerBlock;
    }
  }
  std::fill(coarse, symbols_->values.data() + coarseRegion.start + coarseRegion.capacity, std::int16_t{0});
  std::fill(fine, symbols_->values.data() + fineRegion.start + fineRegion.capacity, std::int16_t{0});
  symbols_->coarseCount = coarseCount;
  symbols_->fineCount = fineCount;
}

std::vector<std::uint8_t> CVideoEncoder::Encode(const std::uint8_t* picture, VideoEncodeStats* statsOut,
                                                std::size_t maxBytes) {
  ToYuv(picture);
  AnalysePlane(planes_->y, kLumaLevels);
  AnalysePlane(planes_->u, kChromaLevels);
  AnalysePlane(planes_->v, kChromaLevels);

  VideoEncodeStats stats;
  QuantiseBase(stats);
  std::vector<std::uint8_t> payload;
  // Busy pictures that would not fit the reader's payload buffer lose their
  // smallest detail values first.
  for (int deadZone = 0;; ++deadZone) {
    const int clampedBase = stats.clampedBaseDifferences;
    stats = VideoEncodeStats{};
    stats.clampedBaseDifferences = clampedBase;
    stats.deadZone = deadZone;
    QuantiseDetail(deadZone, stats);
    payload = WriteVideoPayload(book_, *symbols_);
    if (payload.size() <= maxBytes || deadZone > 80) break;
  }
  if (statsOut) *statsOut = stats;
  return payload;
}

}  // namespace kestrel
