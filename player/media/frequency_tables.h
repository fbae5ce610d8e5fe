// Symbol frequencies of the five video code tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace kestrel {

// In the order the decoder builds them and the payload uses them.
enum class CodeTableId { LumaBase = 0, UBase, VBase, CoarseDetail, FineDetail };
inline constexpr int kCodeTableCount = 5;

struct FrequencyTable {
  const std::uint32_t* counts;  // one non-zero count per symbol, symbol 0 first
  std::size_t size;
};

const FrequencyTable& FrequenciesFor(CodeTableId id);

}  // namespace kestrel
