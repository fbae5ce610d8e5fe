// The video decoder: one payload into one 320 x 240 decoded picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "code_lookup.h"
#include "video_code_tables.h"
#include "video_kernels.h"
#include "video_parser.h"
#include "video_symbols.h"

namespace kestrel {

// Owns every buffer and table decoding needs; all of it is allocated by Init,
// so decoding a frame allocates nothing. A test or a tool may own several.
class CVideoDecoder {
 public:
  CVideoDecoder();
  ~CVideoDecoder();
  CVideoDecoder(const CVideoDecoder&) = delete;
  CVideoDecoder& operator=(const CVideoDecoder&) = delete;

  // Sets the quality to 3 and (re)allocates everything; false, and not ready,
  // when memory cannot be had.
  bool Init();
  // Releases everything and becomes not ready; does nothing when not ready.
  void Shutdown();
  bool Ready() const { return ready_; }

  // Stores a level 0 .. 3 when ready; otherwise false and nothing changes.
  bool SetQuality(std::int8_t level);
  std::int8_t Quality() const { return quality_; }

  // Decodes `length` bytes of payload into `picture`: 230400 bytes, or 921600
  // (640 x 480) with `doubleSize`. False, writing nothing, when not ready.
  bool Decode(const std::uint8_t* payload, std::size_t length, std::uint8_t* picture, bool doubleSize);

  // The first half of the reference Decode: parses the payload and places the
  // dequantised values into the zeroed planes, without the inverse transform.
  bool DecodeCoefficients(const std::uint8_t* payload, std::size_t length);

  // What the last Decode found out about its payload.
  const PayloadCheck& LastCheck() const { return lastCheck_; }
  // The symbols of the last decoded payload.
  const VideoSymbols& LastSymbols() const { return *symbols_; }
  // A coefficient plane (0 Y, 1 U, 2 V; 320 x 240, stride 320) as the last
  // DecodeCoefficients or reference Decode left it; null before the first.
  const float* Plane(int index) const;

  // How pictures are reconstructed; every path gives the same bytes. A new
  // decoder takes DefaultVideoPath(); the choice survives Init. False, and
  // nothing changes, for a path this processor cannot run.
  bool UsePath(VideoPath path);
  VideoPath Path() const { return path_; }
  // The plain formula on every line (true) or the fastest path (false).
  void UseReferenceSynthesis(bool reference) { UsePath(reference ? VideoPath::Reference : BestVideoPath()); }

 private:
  struct Codes;
  struct Buffers;
  struct ReferencePlanes;

  static std::shared_ptr<const Codes> SharedCodes();
  void ReconstructReference(std::uint8_t* picture);

  bool ready_ = false;
  VideoPath path_;
  const VideoKernels* kernels_ = nullptr;  // null on the reference path
  std::int8_t quality_ = 3;
  PayloadCheck lastCheck_;
  std::shared_ptr<const Codes> codes_;  // shared by every decoder
  std::unique_ptr<VideoSymbols> symbols_;
  std::unique_ptr<Buffers> buffers_;
  // Not cleared at Init: the fast path never touches the planes, and only a
  // double-size picture needs the staging copy; a decoder per thread would
  // otherwise clear and fault in over a megabyte it does not use.
  std::unique_ptr<ReferencePlanes> planes_;
  std::unique_ptr<std::uint8_t[]> staging_;
  bool planesFilled_ = false;  // the planes hold what DecodeCoefficients placed
};

}  // namespace kestrel
