// A check of a PNG file's chunk lengths before the PNG reader sees them: the
// reader behind Qt's image reader takes a chunk's announced length at its
// word and allocates it (up to 2 GB) before finding the file ends first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrel::tool {

// For a PNG file (by its signature) whose chunk runs past the end of the
// file, that chunk's name, e.g. "IDAT"; otherwise empty. Only the chunk
// headers before IEND are read.
std::string PngChunkPastEnd(const std::uint8_t* bytes, std::size_t size);

}  // namespace kestrel::tool
