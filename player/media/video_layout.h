// Layout of a coded video frame: symbol buffer regions, block grid, bands and
// quantiser steps.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "frequency_tables.h"

namespace kestrel {

// Payload header: 15-bit coarse count, 17-bit fine count, then the skip map.
inline constexpr unsigned kCoarseCountBits = 15;
inline constexpr unsigned kFineCountBits = 17;
inline constexpr std::size_t kSkipMapOffset = 4;
inline constexpr std::size_t kSkipMapBytes = 38;
inline constexpr std::size_t kSymbolRunsStartBit = (kSkipMapOffset + kSkipMapBytes) * 8;  // 336

inline constexpr int kBlockColumns = 20;
inline constexpr int kBlockRows = 15;
inline constexpr int kBlockCount = kBlockColumns * kBlockRows;  // 300
inline constexpr int kCoarseValuesPerBlock = 12;                // three 2 x 2 groups
inline constexpr int kFineValuesPerBlock = 32;                  // two 4 x 4 groups
inline constexpr int kDetailValuesPerBlock = kCoarseValuesPerBlock + kFineValuesPerBlock;

// One run of the symbol buffer: where it starts, how many entries it can hold,
// which code table codes it and the table's centre M.
struct SymbolRegion {
  CodeTableId table;
  std::size_t start;
  std::size_t capacity;
  int centre;
};

inline constexpr std::array<SymbolRegion, kCodeTableCount> kSymbolRegions = {{
    {CodeTableId::LumaBase, 0, 1200, 300},
    {CodeTableId::UBase, 1200, 300, 150},
    {CodeTableId::VBase, 1500, 300, 160},
    {CodeTableId::CoarseDetail, 1800, 3600, 80},
    {CodeTableId::FineDetail, 5400, 9600, 30},
}};
inline constexpr std::size_t kSymbolBufferEntries = 15000;

inline const SymbolRegion& RegionFor(CodeTableId id) { return kSymbolRegions[static_cast<int>(id)]; }

// Symbol s of a table with centre M stands for s when s <= M and M - s above.
inline int SymbolToValue(std::uint32_t symbol, int centre) {
  const int s = static_cast<int>(symbol);
  return s <= centre ? s : centre - s;
}
inline std::uint32_t ValueToSymbol(int value, int centre) {
  return static_cast<std::uint32_t>(value >= 0 ? value : centre - value);
}
// The range of values a table with n symbols and centre M can carry.
inline int MinValue(std::size_t n, int centre) { return centre - static_cast<int>(n) + 1; }

// Quantiser steps per quality level: Y base, U base, V base, level-3
// horizontal and vertical, level-3 diagonal, level-2 horizontal and vertical.
enum StepIndex { kStepYBase, kStepUBase, kStepVBase, kStepLevel3, kStepLevel3Diagonal, kStepLevel2 };
inline constexpr std::int16_t kStepTable[4][6] = {
    {38, 44, 44, 48, 52, 60},
    {28, 34, 34, 38, 42, 50},
    {18, 24, 24, 28, 32, 40},
    {8, 14, 14, 18, 22, 30},
};
inline constexpr int kDefaultQuality = 3;

// Base band sizes: Y after three levels, U and V after four.
inline constexpr int kLumaBaseWidth = 40, kLumaBaseHeight = 30;
inline constexpr int kChromaBaseWidth = 20, kChromaBaseHeight = 15;
inline constexpr int kLumaLevels = 3;
inline constexpr int kChromaLevels = 4;

}  // namespace kestrel
