// Layout of a coded video frame: symbol buffer regions, block grid, bands and
// quantiser steps.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "frequency_tables.h"
#include "message_format.h"

namespace kestrel {

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
inline constexpr int kLumaLevels = 3;
inline constexpr int kChromaLevels = 4;
inline constexpr int kLumaBaseWidth = kPictureWidth >> kLumaLevels, kLumaBaseHeight = kPictureHeight >> kLumaLevels;
inline constexpr int kChromaBaseWidth = kPictureWidth >> kChromaLevels;
inline constexpr int kChromaBaseHeight = kPictureHeight >> kChromaLevels;

// The luma detail bands that carry coded values, in the order a coded block
// takes them from the detail runs. A band of level 3 (as large as the base)
// lies beside, below or diagonally off the base band in the Y plane, a band of
// level 2 beside or below the level-3 image twice the base's size; the level-2
// diagonal band is never coded. Block (i, j) covers the square of `square` x
// `square` values at (x + square i, y + square j) of every band.
enum LumaDetailBand { kLevel3Horizontal, kLevel2Horizontal, kLevel3Vertical, kLevel2Vertical, kLevel3Diagonal };
inline constexpr int kLumaDetailBandCount = 5;

struct BandPlacement {
  int x, y;  // of the band's top left value in the Y plane
  int square;
  StepIndex step;
  CodeTableId run;
};

inline constexpr std::array<BandPlacement, kLumaDetailBandCount> kLumaDetailBands = {{
    {kLumaBaseWidth, 0, 2, kStepLevel3, CodeTableId::CoarseDetail},
    {2 * kLumaBaseWidth, 0, 4, kStepLevel2, CodeTableId::FineDetail},
    {0, kLumaBaseHeight, 2, kStepLevel3, CodeTableId::CoarseDetail},
    {0, 2 * kLumaBaseHeight, 4, kStepLevel2, CodeTableId::FineDetail},
    {kLumaBaseWidth, kLumaBaseHeight, 2, kStepLevel3Diagonal, CodeTableId::CoarseDetail},
}};

// How many values a coded block takes from a detail run.
constexpr int ValuesPerBlock(CodeTableId run) {
  int values = 0;
  for (const BandPlacement& band : kLumaDetailBands)
    if (band.run == run) values += band.square * band.square;
  return values;
}

// A block covers 2 x 2 values of each level-3 band.
inline constexpr int kBlockColumns = kLumaBaseWidth / 2;
inline constexpr int kBlockRows = kLumaBaseHeight / 2;
inline constexpr int kBlockCount = kBlockColumns * kBlockRows;                           // 300
inline constexpr int kCoarseValuesPerBlock = ValuesPerBlock(CodeTableId::CoarseDetail);  // three 2 x 2 squares
inline constexpr int kFineValuesPerBlock = ValuesPerBlock(CodeTableId::FineDetail);      // two 4 x 4 squares
inline constexpr int kDetailValuesPerBlock = kCoarseValuesPerBlock + kFineValuesPerBlock;

// Payload header: 15-bit coarse count, 17-bit fine count, then the skip map.
inline constexpr unsigned kCoarseCountBits = 15;
inline constexpr unsigned kFineCountBits = 17;
inline constexpr std::size_t kSkipMapOffset = 4;
inline constexpr std::size_t kSkipMapBytes = (kBlockCount + 7) / 8;                       // a bit per block
inline constexpr std::size_t kSymbolRunsStartBit = (kSkipMapOffset + kSkipMapBytes) * 8;  // 336

// One run of the symbol buffer: where it starts, how many entries it can hold,
// which code table codes it and the table's centre M.
struct SymbolRegion {
  CodeTableId table;
  std::size_t start;
  std::size_t capacity;
  int centre;
};

// Capacities: a base band's values, every block's detail values.
inline constexpr std::size_t kLumaBaseValues = std::size_t{kLumaBaseWidth} * kLumaBaseHeight;        // 1200
inline constexpr std::size_t kChromaBaseValues = std::size_t{kChromaBaseWidth} * kChromaBaseHeight;  // 300
inline constexpr std::size_t kCoarseValues = std::size_t{kCoarseValuesPerBlock} * kBlockCount;       // 3600
inline constexpr std::size_t kFineValues = std::size_t{kFineValuesPerBlock} * kBlockCount;           // 9600
inline constexpr std::array<SymbolRegion, kCodeTableCount> kSymbolRegions = {{
    {CodeTableId::LumaBase, 0, kLumaBaseValues, 300},
    {CodeTableId::UBase, kLumaBaseValues, kChromaBaseValues, 150},
    {CodeTableId::VBase, kLumaBaseValues + kChromaBaseValues, kChromaBaseValues, 160},
    {CodeTableId::CoarseDetail, kLumaBaseValues + 2 * kChromaBaseValues, kCoarseValues, 80},
    {CodeTableId::FineDetail, kLumaBaseValues + 2 * kChromaBaseValues + kCoarseValues, kFineValues, 30},
}};
inline constexpr std::size_t kSymbolBufferEntries =
    kSymbolRegions.back().start + kSymbolRegions.back().capacity;  // 15000

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

}  // namespace kestrel
