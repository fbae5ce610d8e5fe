#include "video_decoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "coefficient_placement.h"
#include "colour_conversion.h"
#include "fast_reconstruction.h"
#include "message_format.h"
#include "wavelet_filters.h"
#include "wavelet_synthesis.h"

namespace kestrel {

namespace {

constexpr int kStride = kPictureWidth;
constexpr std::size_t kPlaneValues = std::size_t{kPictureWidth} * kPictureHeight;

}  // namespace

// The code tables and their lookups never change: every decoder of the
// process reads the same ones, built by the first that needs them.
struct CVideoDecoder::Codes {
  VideoCodeTables tables = BuildVideoCodeTables();
  VideoCodeLookups lookups;
  bool lookupsFit = BuildCodeLookups(tables, lookups);  // false: a code is too long for them
};

// Built once; a failed build (no memory) throws out of here and is tried
// again by the next Init.
std::shared_ptr<const CVideoDecoder::Codes> CVideoDecoder::SharedCodes() {
  static const auto codes = std::make_shared<const Codes>();
  return codes;
}

struct CVideoDecoder::Buffers {
  float line[wavelet::kLineBufferSize];
  FastReconstructionBuffers fast;
};

struct CVideoDecoder::ReferencePlanes {
  float planes[3][kPlaneValues];  // Y, U, V of the reference path
};

CVideoDecoder::CVideoDecoder() : path_(DefaultVideoPath()), kernels_(KernelsFor(path_)) {}
CVideoDecoder::~CVideoDecoder() = default;

bool CVideoDecoder::Init() {
  Shutdown();
  quality_ = kDefaultQuality;
  try {
    buffers_ = std::make_unique<Buffers>();
    // Left uninitialised: their pages are touched only when used.
    planes_ = std::make_unique_for_overwrite<ReferencePlanes>();
    staging_ = std::make_unique_for_overwrite<std::uint8_t[]>(kPictureBytes);
    planesFilled_ = false;
    symbols_ = std::make_unique<VideoSymbols>();
    codes_ = SharedCodes();
  } catch (const std::bad_alloc&) {
    buffers_.reset();
    planes_.reset();
    staging_.reset();
    symbols_.reset();
    codes_.reset();
    return false;
  }
  ready_ = true;
  return true;
}

void CVideoDecoder::Shutdown() {
  if (!ready_) return;
  buffers_.reset();
  planes_.reset();
  staging_.reset();
  symbols_.reset();
  codes_.reset();
  ready_ = false;
}

const float* CVideoDecoder::Plane(int index) const {
  return ready_ && planesFilled_ ? planes_->planes[index] : nullptr;
}

bool CVideoDecoder::SetQuality(std::int8_t level) {
  if (!ready_ || level < 0 || level > 3) return false;
  quality_ = level;
  return true;
}

bool CVideoDecoder::UsePath(VideoPath path) {
  if (!PathAvailable(path)) return false;
  path_ = path;
  kernels_ = KernelsFor(path);
  return true;
}

bool CVideoDecoder::DecodeCoefficients(const std::uint8_t* payload, std::size_t length) {
  if (!ready_) return false;
  lastCheck_ = ParseVideoFrame(codes_->tables, payload, length, *symbols_);
  for (auto& plane : planes_->planes) std::fill(std::begin(plane), std::end(plane), 0.0f);
  planesFilled_ = true;
  float* const bases[3] = {planes_->planes[0], planes_->planes[1], planes_->planes[2]};
  const int strides[3] = {kStride, kStride, kStride};
  PlaceBaseBands(*symbols_, quality_, bases, strides);
  LumaDetailTargets bands;
  for (int b = 0; b < kLumaDetailBandCount; ++b) {
    const BandPlacement& band = kLumaDetailBands[b];
    bands[b] = {planes_->planes[0] + band.y * kStride + band.x, kStride};
  }
  PlaceLumaDetail(*symbols_, quality_, bands);
  return true;
}

void CVideoDecoder::ReconstructReference(std::uint8_t* picture) {
  const int levels[3] = {kLumaLevels, kChromaLevels, kChromaLevels};
  for (int p = 0; p < 3; ++p) SynthesizePlaneReference(planes_->planes[p], levels[p], buffers_->line);
  ConvertPlanesToBgr(planes_->planes[0], planes_->planes[1], planes_->planes[2], picture);
}

bool CVideoDecoder::Decode(const std::uint8_t* payload, std::size_t length, std::uint8_t* picture, bool doubleSize) {
  if (!ready_) return false;
  std::uint8_t* target = doubleSize ? staging_.get() : picture;
  if (kernels_) {
    lastCheck_ =
        ParseVideoFrame(codes_->tables, payload, length, *symbols_, codes_->lookupsFit ? &codes_->lookups : nullptr);
    ReconstructPicture(*symbols_, quality_, *kernels_, buffers_->fast, target);
  } else {
    DecodeCoefficients(payload, length);
    ReconstructReference(target);
  }
  if (doubleSize) {
    constexpr std::size_t kWideRow = kPictureRowBytes * 2;
    for (int y = 0; y < kPictureHeight; ++y) {
      const std::uint8_t* source = staging_.get() + y * kPictureRowBytes;
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
