// The process-wide video decoder the player uses: thin wrappers over one
// CVideoDecoder. Set-up and shutdown run on the UI thread while no frame is
// being decoded; frames are decoded on the reader thread only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrel {

// False when the decoder's buffers cannot be had: no frame decodes then.
bool InitVideoDecoder();
bool SetVideoQuality(std::int8_t level);
// `length` is the record's payload length: nothing beyond it is read. False,
// writing nothing, while the decoder is not set up.
bool DecodeVideoFrame(const std::uint8_t* payload, std::size_t length, std::uint8_t* picture, bool doubleSize);
void ShutdownVideoDecoder();

}  // namespace kestrel
