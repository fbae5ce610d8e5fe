// The picture on screen kept as a frame: a 320 x 240, 24-bit Windows bitmap,
// the kind the frames browser lists.
#pragma once

#include <cstdint>

#include <QString>

namespace kestrel {

// "MESSAGE-MMmSS.Ss.bmp": the message's name without its extension and the
// time, rounded to tenths of a second as the position label rounds it.
QString ProposedFrameName(const QString& messagePath, std::uint64_t audioFrames);

// Writes `picture` (320 x 240 pixels, bottom row first, blue-green-red) to
// `path` as a 24-bit bitmap: under a temporary name in the same folder,
// renamed into place only once whole. False, with any earlier file at
// `path` untouched, when it cannot be written.
bool WriteFrameBitmap(const QString& path, const std::uint8_t* picture);

}  // namespace kestrel
