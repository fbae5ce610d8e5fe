#include "code_lookup.h"

#include <bit>
#include <cstring>

#include "video_layout.h"

namespace kestrel {

namespace {

int LongestCode(const CodeTable& table) {
  int longest = 0;
  for (const SymbolCode& code : CodesFromTable(table)) longest = code.length > longest ? code.length : longest;
  return longest;
}

std::uint32_t Entry(const CodeTable& table, std::uint32_t node, int centre, int length) {
  const auto bits = static_cast<std::uint32_t>(length);
  if (!table.IsLeaf(node)) return CodeLookup::kInner | node << 16 | bits;
  const auto value = static_cast<std::uint16_t>(SymbolToValue(node - 1, centre));
  return static_cast<std::uint32_t>(value) << 16 | bits;
}

void Build(const CodeTable& table, int centre, CodeLookup& lookup) {
  lookup.table = &table;
  lookup.centre = centre;
  lookup.longestCode = LongestCode(table);
  for (std::uint32_t window = 0; window < lookup.first.size(); ++window) {
    std::uint32_t node = table.root;
    int length = 0;
    while (length < CodeLookup::kLookupBits && !table.IsLeaf(node)) {
      const std::uint32_t index = node - table.symbolCount - 1;
      node = (window >> length) & 1u ? table.right[index] : table.left[index];
      ++length;
    }
    lookup.first[window] = Entry(table, node, centre, length);
  }
  // The code "1" alone is a leaf, and its value is 0.
  lookup.onesAreZeros = lookup.first[1] == 1u;
}

// The payload's first bit is the least significant bit of its first byte,
// which a little-endian load keeps in order.
static_assert(std::endian::native == std::endian::little);
inline std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

}  // namespace

bool BuildCodeLookups(const VideoCodeTables& tables, VideoCodeLookups& out) {
  bool fits = true;
  for (const SymbolRegion& region : kSymbolRegions) {
    CodeLookup& lookup = out.lookups[static_cast<int>(region.table)];
    Build(tables[region.table], region.centre, lookup);
    fits = fits && lookup.longestCode <= CodeLookup::kMaxCodeBits;
  }
  return fits;
}

namespace {

template <bool kOnesAreZeros>
std::size_t DecodeWindows(const CodeLookup& lookup, const std::uint8_t* payload, std::size_t length,
                          std::size_t& position, std::size_t count, std::int16_t* out) {
  static_assert(CodeLookup::kMaxCodeBits <= 57, "a window holds at least 57 unread bits");
  constexpr std::uint32_t kMask = (1u << CodeLookup::kLookupBits) - 1;
  const CodeTable& table = *lookup.table;
  const std::uint32_t firstInner = table.symbolCount + 1;
  std::size_t pos = position;
  std::size_t i = 0;
  while (i < count && (pos >> 3) + 8 <= length) {
    // 64 bits from the byte holding the next bit: 57 to 64 of them unread,
    // and zeros above those.
    std::uint64_t window = Load64(payload + (pos >> 3)) >> (pos & 7);
    const int unread = 64 - static_cast<int>(pos & 7);
    int left = unread;
    // Codes while a longest code still fits in what is left.
    while (left >= CodeLookup::kMaxCodeBits && i < count) {
      if constexpr (kOnesAreZeros) {
        // Zeros above the unread bits stop the count; the top bit stops it
        // at 63 when all 64 are unread ones.
        int ones = __builtin_ctzll(~window | (1ull << 63));
        if (ones > 0) {
          ones = static_cast<std::size_t>(ones) < count - i ? ones : static_cast<int>(count - i);
          i += static_cast<std::size_t>(ones);  // the values are already 0
          window >>= ones;
          left -= ones;
          continue;
        }
      }
      const std::uint32_t entry = lookup.first[window & kMask];
      const int used = static_cast<int>(entry & 63u);
      window >>= used;
      left -= used;
      if (!(entry & CodeLookup::kInner)) {
        out[i++] = static_cast<std::int16_t>(entry >> 16);
        continue;
      }
      // A code longer than the lookup: on down the tree, one bit at a time.
      std::uint32_t node = entry >> 16;
      while (node >= firstInner) {
        const std::uint32_t index = node - firstInner;
        node = window & 1u ? table.right[index] : table.left[index];
        window >>= 1;
        --left;
      }
      out[i++] = static_cast<std::int16_t>(SymbolToValue(node - 1, lookup.centre));
    }
    pos += static_cast<std::size_t>(unread - left);
  }
  position = pos;
  return i;
}

}  // namespace

std::size_t DecodeWhileWindowFits(const CodeLookup& lookup, const std::uint8_t* payload, std::size_t length,
                                  std::size_t& position, std::size_t count, std::int16_t* out) {
  return lookup.onesAreZeros ? DecodeWindows<true>(lookup, payload, length, position, count, out)
                             : DecodeWindows<false>(lookup, payload, length, position, count, out);
}

}  // namespace kestrel
