// Writing a video payload from chosen symbol values: the inverse of ParseVideoFrame.
#pragma once

#include <cstdint>
#include <vector>

#include "video_code_tables.h"
#include "video_symbols.h"

namespace kestrel {

// Writes the counts and skip map of `frame` and then the codes of its values:
// all 1800 base values, `coarseCount` coarse and `fineCount` fine values (each
// cut to its region). Values outside a table's range are clamped to it; the
// number clamped is returned through `clamped` when given.
std::vector<std::uint8_t> WriteVideoPayload(const VideoCodeBook& book, const VideoSymbols& frame,
                                            int* clamped = nullptr);

}  // namespace kestrel
