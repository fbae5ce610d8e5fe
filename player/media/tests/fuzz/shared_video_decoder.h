// The one video decoder a fuzz target keeps for its whole run, as the player
// keeps one per process: set up once, so each input pays only for decoding.
#pragma once

#include <cstdlib>

#include "video_decoder.h"

namespace kestrel::fuzzing {

inline CVideoDecoder& SharedVideoDecoder() {
  static CVideoDecoder* decoder = [] {
    auto* d = new CVideoDecoder;
    if (!d->Init()) std::abort();
    return d;
  }();
  return *decoder;
}

}  // namespace kestrel::fuzzing
