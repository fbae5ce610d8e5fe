#include "coefficient_placement.h"

#include "video_layout.h"

namespace kestrel {

namespace {

inline std::int16_t Wrap16(int value) { return static_cast<std::int16_t>(value); }

// Fills a size x size square row by row from `values`, which it advances
// past them, or with zeros when `values` is null.
template <int kSize>
void FillSquare(const std::int16_t*& values, std::int16_t step, float* out, int stride) {
  for (int y = 0; y < kSize; ++y) {
    float* row = out + y * stride;
    if (!values) {
      for (int x = 0; x < kSize; ++x) row[x] = 0.0f;
      continue;
    }
    for (int x = 0; x < kSize; ++x) row[x] = Wrap16(values[x] * step);
    values += kSize;
  }
}

}  // namespace

void PlaceBaseBand(const std::int16_t* differences, int width, int height, std::int16_t step, float* out, int stride) {
  std::int16_t rowStart = 0;
  for (int y = 0; y < height; ++y) {
    std::int16_t a = Wrap16(rowStart + *differences++);
    rowStart = a;
    out[y * stride] = Wrap16(a * step);
    for (int x = 1; x < width; ++x) {
      a = Wrap16(a + *differences++);
      out[y * stride + x] = Wrap16(a * step);
    }
  }
}

void PlaceBaseBands(const VideoSymbols& symbols, int quality, float* const out[3], const int stride[3]) {
  struct Base {
    int width, height;
    StepIndex step;
    CodeTableId run;
  };
  static constexpr Base kBases[3] = {
      {kLumaBaseWidth, kLumaBaseHeight, kStepYBase, CodeTableId::LumaBase},
      {kChromaBaseWidth, kChromaBaseHeight, kStepUBase, CodeTableId::UBase},
      {kChromaBaseWidth, kChromaBaseHeight, kStepVBase, CodeTableId::VBase},
  };
  for (int p = 0; p < 3; ++p) {
    const Base& base = kBases[p];
    PlaceBaseBand(symbols.values.data() + RegionFor(base.run).start, base.width, base.height,
                  kStepTable[quality][base.step], out[p], stride[p]);
  }
}

void PlaceLumaDetail(const VideoSymbols& symbols, int quality, const LumaDetailTargets& bands) {
  const std::int16_t* coarse = symbols.values.data() + RegionFor(CodeTableId::CoarseDetail).start;
  const std::int16_t* fine = symbols.values.data() + RegionFor(CodeTableId::FineDetail).start;
  // A coded block takes 12 coarse and 32 fine values; at most 300 blocks, so
  // the runs never reach past their regions (3600 and 9600 entries).
  for (int j = 0; j < kBlockRows; ++j) {
    for (int i = 0; i < kBlockColumns; ++i) {
      const bool coded = !symbols.BlockSkipped(j * kBlockColumns + i);
      for (int b = 0; b < kLumaDetailBandCount; ++b) {
        const BandPlacement& band = kLumaDetailBands[b];
        const std::int16_t* none = nullptr;
        const std::int16_t*& values = !coded ? none : band.run == CodeTableId::CoarseDetail ? coarse : fine;
        const std::int16_t step = kStepTable[quality][band.step];
        const BandTarget& target = bands[b];
        float* out = target.origin + band.square * (j * target.stride + i);
        if (band.square == 2)
          FillSquare<2>(values, step, out, target.stride);
        else
          FillSquare<4>(values, step, out, target.stride);
      }
    }
  }
}

}  // namespace kestrel
