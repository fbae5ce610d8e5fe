// Parsing of one video payload into its counts, skip map and symbol values.
#pragma once

#include <cstddef>
#include <cstdint>

#include "code_lookup.h"
#include "video_code_tables.h"
#include "video_symbols.h"

namespace kestrel {

// What parsing found out about a payload. A well-formed payload has none of
// these set; the decoder copes with all of them.
struct PayloadCheck {
  bool countsCut = false;       // a count exceeded its region (3600 / 9600) and was cut to it
  bool countsMismatch = false;  // counts differ from 12 and 32 times the coded blocks
  bool ranPastEnd = false;      // codes needed bits beyond the payload; their values are 0
  std::size_t bitsUsed = 0;     // bits the header and the codes took

  bool WellFormed() const { return !countsCut && !countsMismatch && !ranPastEnd; }
};

// Reads the payload of `length` bytes. Nothing beyond `length` is read: a short
// payload reads as zero bits and every value whose code is not complete within
// it is 0. Entries of a detail run beyond its (cut) count are set to 0, so a
// frame never picks up values of an earlier one.
//
// With `lookups` the codes are decoded several bits at a time while the
// payload has bytes enough, and bit by bit for the last ones: the result is
// the same in every field.
PayloadCheck ParseVideoFrame(const VideoCodeTables& tables, const std::uint8_t* payload, std::size_t length,
                             VideoSymbols& out, const VideoCodeLookups* lookups = nullptr);

}  // namespace kestrel
