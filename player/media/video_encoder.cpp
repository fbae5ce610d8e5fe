#include "video_encoder.h"

#include <algorithm>
#include <cmath>

#include "colour_matrix.h"
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
  // The decoder's colour matrix solved for Y, U, V: with B = Y + cb U,
  // G = Y - gu U - gv V and R = Y + cr V (each weight over 128), U and V are
  // (B - Y) / cb and (R - Y) / cr, and G = Y - a (B - Y) - b (R - Y).
  using namespace colour;
  constexpr double cb = double(kBlueFromU) / kLumaWeight, cr = double(kRedFromV) / kLumaWeight;
  constexpr double a = double(kGreenFromU) / kBlueFromU, b = double(kGreenFromV) / kRedFromV;
  for (std::size_t i = 0; i < kPlaneValues; ++i) {
    const double B = picture[3 * i] + 0.5, G = picture[3 * i + 1] + 0.5, R = picture[3 * i + 2] + 0.5;
    const double Y = (G + a * B + b * R) / (1.0 + a + b);
    planes_->y[i] = static_cast<float>(Y + 0.5);
    planes_->u[i] = AwayFromZero((B - Y) / cb);
    planes_->v[i] = AwayFromZero((R - Y) / cr);
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
  // What each detail run can carry, and where it is written.
  struct Run {
    const SymbolRegion& region;
    int lowest;
    std::int16_t* out;
  };
  auto runOf = [&](CodeTableId id) {
    const SymbolRegion& region = RegionFor(id);
    return Run{region, MinValue(book_[id].size(), region.centre), symbols_->values.data() + region.start};
  };
  Run coarse = runOf(CodeTableId::CoarseDetail), fine = runOf(CodeTableId::FineDetail);
  symbols_->skipMap.fill(0);
  stats.codedBlocks = 0;

  for (int j = 0; j < kBlockRows; ++j) {
    for (int i = 0; i < kBlockColumns; ++i) {
      // The block's values in the order the decoder places them.
      std::int16_t values[kDetailValuesPerBlock];
      std::int16_t* into = values;
      for (const BandPlacement& band : kLumaDetailBands) {
        const Run& run = band.run == CodeTableId::CoarseDetail ? coarse : fine;
        const int step = kStepTable[kQuality][band.step];
        const int x0 = band.x + band.square * i, y0 = band.y + band.square * j;
        for (int y = 0; y < band.square; ++y)
          for (int x = 0; x < band.square; ++x) {
            int q = Quantise(planes_->y[(y0 + y) * kStride + x0 + x], step);
            if (std::abs(q) <= deadZone) q = 0;
            const int kept = std::clamp(q, run.lowest, run.region.centre);
            if (kept != q) ++stats.clampedDetailValues;
            *into++ = static_cast<std::int16_t>(kept);
          }
      }
      const bool empty = std::all_of(values, into, [](auto v) { return v == 0; });
      symbols_->SetBlockSkipped(j * kBlockColumns + i, empty);
      if (empty) continue;
      ++stats.codedBlocks;
      into = values;
      for (const BandPlacement& band : kLumaDetailBands) {
        Run& run = band.run == CodeTableId::CoarseDetail ? coarse : fine;
        run.out = std::copy(into, into + band.square * band.square, run.out);
        into += band.square * band.square;
      }
    }
  }
  for (const Run& run : {coarse, fine})
    std::fill(run.out, symbols_->values.data() + run.region.start + run.region.capacity, std::int16_t{0});
  symbols_->coarseCount = static_cast<std::uint32_t>(coarse.out - (symbols_->values.data() + coarse.region.start));
  symbols_->fineCount = static_cast<std::uint32_t>(fine.out - (symbols_->values.data() + fine.region.start));
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
