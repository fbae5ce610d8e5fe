#include "video_decoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "colour_conversion.h"
#include "message_format.h"
#include "wavelet_filters.h"
#include "wavelet_synthesis.h"

namespace kestrel {

namespace {

constexpr int kStride = kPictureWidth;
constexpr std::size_t kPlaneValues = std::size_t{kPictureWidth} * kPictureHeight;

inline std::int16_t Wrap16(int value) { return static_cast<std::int16_t>(value); }

}  // namespace

struct CVideoDecoder::Buffers {
  float planes[3][kPlaneValues];                  // Y, U, V
  std::uint8_t staging[kPictureBytes];            // normal-size picture for the double-size output
  float line[wavelet::kLineBufferSize];
  float rows[wavelet::kColumnScratchSize];
};

CVideoDecoder::CVideoDecoder() = default;
CVideoDecoder::~CVideoDecoder() = default;

bool CVideoDecoder::Init() {
  Shutdown();
  quality_ = kDefaultQuality;
  try {
    buffers_ = std::make_unique<Buffers>();
    symbols_ = std::make_unique<VideoSymbols>();
    tables_ = std::make_unique<VideoCodeTables>(BuildVideoCodeTables());
  } catch (const std::bad_alloc&) {
    Shutdown();
    buffers_.reset();
    symbols_.reset();
    tables_.reset();
    return false;
  }
  ready_ = true;
  return true;
}

void CVideoDecoder::Shutdown() {
  if (!ready_) return;
  buffers_.reset();
  symbols_.reset();
  tables_.reset();
  ready_ = false;
}

const float* CVideoDecoder::Plane(int index) const { return ready_ ? buffers_->planes[index] : nullptr; }

bool CVideoDecoder::SetQuality(std::int8_t level) {
  if (!ready_ || level < 0 || level > 3) return false;
  quality_ = level;
  return true;
}

void CVideoDecoder::PlaceBaseBands() {
  struct Base {
    int plane, width, height;
    StepIndex step;
    CodeTableId run;
  };
  static constexpr Base kBases[3] = {
      {0, kLumaBaseWidth, kLumaBaseHeight, kStepYBase, CodeTableId::LumaBase},
      {1, kChromaBaseWidth, kChromaBaseHeight, kStepUBase, CodeTableId::UBase},
      {2, kChromaBaseWidth, kChromaBaseHeight, kStepVBase, CodeTableId::VBase},
  };
  for (const Base& base : kBases) {
    float* plane = buffers_->planes[base.plane];
    const std::int16_t step = kStepTable[quality_][base.step];
    const std::int16_t* diff = symbols_->values.data() + RegionFor(base.run).start;
    // Each row starts from the first value of the row above, every other
    // value from its left neighbour; sums and products wrap at 16 bits.
    std::int16_t rowStart = 0;
    for (int y = 0; y < base.height; ++y) {
      std::int16_t a = Wrap16(rowStart + *diff++);
      rowStart = a;
      plane[y * kStride] = Wrap16(a * step);
      for (int x = 1; x < base.width; ++x) {
        a = Wrap16(a + *diff++);
        plane[y * kStride + x] = Wrap16(a * step);
      }
    }
  }
}

void CVideoDecoder::PlaceLumaDetail() {
  float* plane = buffers_->planes[0];
  const std::int16_t* coarse = symbols_->values.data() + RegionFor(CodeTableId::CoarseDetail).start;
  const std::int16_t* fine = symbols_->values.data() + RegionFor(CodeTableId::FineDetail).start;
  const std::int16_t stepLevel3 = kStepTable[quality_][kStepLevel3];
  const std::int16_t stepDiagonal = kStepTable[quality_][kStepLevel3Diagonal];
  const std::int16_t stepLevel2 = kStepTable[quality_][kStepLevel2];

  // Fills a size x size square at (x0, y0) row by row.
  auto fill = [plane](const std::int16_t*& values, int x0, int y0, int size, std::int16_t step) {
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) plane[(y0 + y) * kStride + x0 + x] = Wrap16(*values++ * step);
  };

  // A coded block takes 12 coarse and 32 fine values; at most 300 blocks, so
  // the runs never reach past their regions (3600 and 9600 entries).
  for (int j = 0; j < kBlockRows; ++j) {
    for (int i = 0; i < kBlockColumns; ++i) {
      if (symbols_->BlockSkipped(j * kBlockColumns + i)) continue;
      fill(coarse, 40 + 2 * i, 2 * j, 2, stepLevel3);   // level-3 horizontal
      fill(fine, 80 + 4 * i, 4 * j, 4, stepLevel2);     // level-2 horizontal
      fill(coarse, 2 * i, 30 + 2 * j, 2, stepLevel3);   // level-3 vertical
      fill(fine, 4 * i, 60 + 4 * j, 4, stepLevel2);     // level-2 vertical
      fill(coarse, 40 + 2 * i, 30 + 2 * j, 2, stepDiagonal);  // level-3 diagonal
    }
  }
}

void CVideoDecoder::Synthesize() {
  const int levels[3] = {kLumaLevels, kChromaLevels, kChromaLevels};
  for (int p = 0; p < 3; ++p) {
    if (referenceSynthesis_)
      SynthesizePlaneReference(buffers_->planes[p], levels[p], buffers_->line);
    else
      SynthesizePlane(buffers_->planes[p], levels[p], buffers_->rows);
  }
}

bool CVideoDecoder::DecodeCoefficients(const std::uint8_t* payload, std::size_t length) {
  if (!ready_) return false;
  lastCheck_ = ParseVideoFrame(*tables_, payload, length, *symbols_);
  for (auto& plane : buffers_->planes) std::fill(std::begin(plane), std::end(plane), 0.0f);
  PlaceBaseBands();
  PlaceLumaDetail();
  return true;
}

bool CVideoDecoder::Decode(const std::uint8_t* payload, std::size_t length, std::uint8_t* picture, bool doubleSize) {
  if (!DecodeCoefficients(payload, length)) return false;
  Synthesize();

  std::uint8_t* target = doubleSize ? buffers_->staging : picture;
  ConvertPlanesToBgr(buffers_->planes[0], buffers_->planes[1], buffers_->planes[2], target);
  if (doubleSize) {
    constexpr std::size_t kWideRow = kPictureRowBytes * 2;
    for (int y = 0; y < kPictureHeight; ++y) {
      const std::uint8_t* source = buffers_->staging + y * kPictureRowBytes;
      std::uint8_t* row = picture + 2 * y * kWideRow;
      for (int x = 0; x < kPictureWidth; ++x) {
        std::memcpy(row + 6 * x, source + 3 * x, 3);
        std::memcpy(row + 6 * x + 3, source + 3 * x, 3);
      }
      std::memcpy(row + kWideRow, row, kWideRow);
    }
  }
  return true;
}

}  // namespace kestrel
