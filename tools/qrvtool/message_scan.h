// Walks a message file in record order, as the player's reader does, and
// hands each record, decoded audio frame and decoded picture to callbacks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "message_input.h"
#include "video_parser.h"

namespace kestrel::tool {

struct ScanCallbacks {
  // Every record as read, with its payload (bytesRead bytes).
  std::function<void(const Record&, const std::uint8_t* payload)> onRecord;
  // Each decoded PCM block (160 samples), in file order; one decoder state for
  // the whole file. Only called when set.
  std::function<void(const std::int16_t* samples)> onAudioFrame;
  // Each video record's decoded picture (230400 bytes, first row the bottom
  // line) at quality 3, whatever the header's frame rate, in file order.
  // Only when set. With several threads a picture may come after sound
  // that follows it in the file: each stream keeps its own order.
  // `prepared` is what preparePicture made of it, if set.
  std::function<void(const std::uint8_t* picture, const PayloadCheck& check, const std::vector<std::uint8_t>& prepared)>
      onPicture;
  // Work on each decoded picture done where it was decoded, on several
  // threads at once with several threads; it must touch nothing shared.
  std::function<void(const std::uint8_t* picture, std::vector<std::uint8_t>& prepared)> preparePicture;
  // Asked before each record; reading ends when it answers true.
  std::function<bool()> done;
  // The share of the file read so far, after each record.
  std::function<void(double fraction)> onProgress;
};

struct ScanOutcome {
  bool decoderFailed = false;  // no memory for a decoder
};

// Reads the records of an opened message from where its header ended.
// Pictures are decoded on `threads` threads, one decoder each; the pictures
// are the same, byte for byte, with any number.
ScanOutcome ScanMessage(MessageInput& message, const ScanCallbacks& callbacks, unsigned threads = 1);

}  // namespace kestrel::tool
