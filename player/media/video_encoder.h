// The recording side of the video format: one 320 x 240 picture into one
// payload that CVideoDecoder reads back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "video_code_tables.h"
#include "video_symbols.h"

namespace kestrel {

struct VideoEncodeStats {
  int clampedBaseDifferences = 0;  // differences beyond their table, carried into the next value
  int clampedDetailValues = 0;     // detail values beyond their table's range
  int codedBlocks = 0;
  int deadZone = 0;  // detail values up to this size were dropped to fit the payload limit
};

class CVideoEncoder {
 public:
  CVideoEncoder();
  ~CVideoEncoder();
  CVideoEncoder(const CVideoEncoder&) = delete;
  CVideoEncoder& operator=(const CVideoEncoder&) = delete;

  // `picture` is laid out as the decoder writes one (B, G, R; row 0 is the
  // bottom line). The payload is coded at quality 3 and is at most
  // `maxBytes` long.

  std::vector<std::uint8_t> Encode(const std::uint8_t* picture, VideoEncodeStats* stats = nullptr,
                                   std::size_t maxBytes = kPayloadBufferBytes);

  // The symbols of the last payload, before the Huffman codes.
  const VideoSymbols& LastSymbols() const { return *symbols_; }

 private:
  struct Planes;
  void ToYuv(const std::uint8_t* picture);
  void QuantiseBase(VideoEncodeStats& stats);
  void QuantiseDetail(int deadZone, VideoEncodeStats& stats);

  VideoCodeBook book_;
  std::unique_ptr<Planes> planes_;
  std::unique_ptr<VideoSymbols> symbols_;
};

}  // namespace kestrel
