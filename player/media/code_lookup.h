// Table-driven decoding of the video payload's codes: the same symbols as the
// walk down the code tree, several bits at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "code_table.h"
#include "video_code_tables.h"

namespace kestrel {

// What the first kLookupBits bits of a window decide for one code table.
struct CodeLookup {
  static constexpr int kLookupBits = 10;
  // The fast decoder reads codes from a 64-bit window that holds at least 57
  // unread bits; the fixed tables' longest code is 20 bits.
  static constexpr int kMaxCodeBits = 20;

  // Per window value, an entry whose bits 0 .. 5 are how many bits it
  // decides (the code's length, or kLookupBits) and whose bits 16 .. 31 are
  // the code's value, or, with kInner set, the inner node reached. The length
  // sits low so that shifting the window by the entry takes it.
  static constexpr std::uint32_t kInner = 1u << 8;
  std::array<std::uint32_t, 1u << kLookupBits> first{};
  const CodeTable* table = nullptr;
  int centre = 0;
  // True when the single bit 1 is the whole code of the value 0, so that a run
  // of 1 bits is a run of zeros, taken in one step.
  bool onesAreZeros = false;
  int longestCode = 0;
};

struct VideoCodeLookups {
  std::array<CodeLookup, kCodeTableCount> lookups;
  const CodeLookup& operator[](CodeTableId id) const { return lookups[static_cast<int>(id)]; }
};

// Builds the lookups over `tables`, which must outlive them. False when a
// table has a code longer than kMaxCodeBits (the window would not hold it).
bool BuildCodeLookups(const VideoCodeTables& tables, VideoCodeLookups& out);

// Decodes up to `count` values into `out`, which the caller has set to zero,
// from bit `position` of the `length`-byte payload, while a whole 8-byte
// window can be read without passing the payload's end. Returns how many it
// decoded and advances `position` past them; the caller decodes the rest bit
// by bit.
std::size_t DecodeWhileWindowFits(const CodeLookup& lookup, const std::uint8_t* payload, std::size_t length,
                                  std::size_t& position, std::size_t count, std::int16_t* out);

}  // namespace kestrel
