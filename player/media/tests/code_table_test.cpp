#include "code_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "bit_writer.h"
#include "support/message_builder.h"
#include "video_layout.h"

namespace kestrel {
namespace {

using testing::CodeBook;
using testing::Tables;

// A code as the bits read in order, e.g. "1010".
std::string CodeString(CodeTableId id, std::uint32_t symbol) {
  const SymbolCode& code = CodeBook()[id][symbol];
  std::string bits;
  for (int i = 0; i < code.length; ++i) bits += ((code.bits >> i) & 1u) ? '1' : '0';
  return bits;
}

TEST(CodeTables, KnownCodesComeOutOfTheTieBreaks) {
  EXPECT_EQ(CodeString(CodeTableId::LumaBase, 0), "100");
  EXPECT_EQ(CodeString(CodeTableId::LumaBase, 301), "1010");
  EXPECT_EQ(CodeString(CodeTableId::UBase, 0), "11");
  EXPECT_EQ(CodeString(CodeTableId::UBase, 151), "00");
  EXPECT_EQ(CodeString(CodeTableId::VBase, 0), "10");
  EXPECT_EQ(CodeString(CodeTableId::VBase, 161), "111");
  EXPECT_EQ(CodeString(CodeTableId::CoarseDetail, 0), "1");
  EXPECT_EQ(CodeString(CodeTableId::CoarseDetail, 1), "001");
  EXPECT_EQ(CodeString(CodeTableId::CoarseDetail, 81), "0111");
  EXPECT_EQ(CodeString(CodeTableId::FineDetail, 0), "1");
  EXPECT_EQ(CodeString(CodeTableId::FineDetail, 1), "010");
  EXPECT_EQ(CodeString(CodeTableId::FineDetail, 31), "011");
}

TEST(CodeTables, LongestCodesAndTreeShape) {
  const int longest[] = {19, 17, 17, 20, 20};
  for (int t = 0; t < kCodeTableCount; ++t) {
    const auto id = static_cast<CodeTableId>(t);
    const CodeTable& table = Tables()[id];
    EXPECT_EQ(table.root, 2 * table.symbolCount - 1);
    int maxLength = 0;
    double kraft = 0;
    for (const SymbolCode& code : CodeBook()[id]) {
      maxLength = std::max<int>(maxLength, code.length);
      kraft += 1.0 / double(1u << code.length);
    }
    EXPECT_EQ(maxLength, longest[t]) << "table " << t;
    EXPECT_DOUBLE_EQ(kraft, 1.0) << "a full binary tree uses every code";
  }
}

TEST(CodeTables, EverySymbolDecodesFromItsOwnCode) {
  for (int t = 0; t < kCodeTableCount; ++t) {
    const auto id = static_cast<CodeTableId>(t);
    BitWriter writer;
    const auto& codes = CodeBook()[id];
    for (const SymbolCode& code : codes) writer.WriteBits(code.bits, code.length);
    BitReader reader(writer.Bytes().data(), writer.Bytes().size());
    for (std::uint32_t s = 0; s < codes.size(); ++s) ASSERT_EQ(DecodeSymbol(Tables()[id], reader), s) << "table " << t;
    EXPECT_EQ(reader.Position(), writer.BitCount());
    EXPECT_FALSE(reader.Overrun());
  }
}

TEST(CodeTables, SymbolValuesAroundTheCentre) {
  const int lowest[] = {-299, -149, -164, -79, -29};
  for (int t = 0; t < kCodeTableCount; ++t) {
    const SymbolRegion& region = kSymbolRegions[t];
    const auto n = static_cast<std::uint32_t>(FrequenciesFor(region.table).size);
    EXPECT_EQ(SymbolToValue(region.centre, region.centre), region.centre);
    EXPECT_EQ(SymbolToValue(region.centre + 1, region.centre), -1);
    EXPECT_EQ(SymbolToValue(n - 1, region.centre), lowest[t]);
    EXPECT_EQ(MinValue(n, region.centre), lowest[t]);
    for (int v = lowest[t]; v <= region.centre; ++v)
      ASSERT_EQ(SymbolToValue(ValueToSymbol(v, region.centre), region.centre), v);
  }
}

TEST(CodeTables, HeapTieBreaksDecideEqualWeights) {
  // Traced by hand: heap [1 2 3 4]; take 1, 4 moves to the top and stays
  // (equal weights do not sink), so node 5 = (1, 4). Heap [2 5 3]: take 2,
  // 3 moves up, node 6 = (2, 3). Heap [6 5]: take 6, node 7 = (6, 5).
  const std::uint32_t f[] = {1, 1, 1, 1};
  CodeTable t = BuildCodeTable(f, 4);
  ASSERT_EQ(t.root, 7u);
  EXPECT_EQ(t.left[0], 1);
  EXPECT_EQ(t.right[0], 4);
  EXPECT_EQ(t.left[1], 2);
  EXPECT_EQ(t.right[1], 3);
  EXPECT_EQ(t.left[2], 6);
  EXPECT_EQ(t.right[2], 5);
}

}  // namespace
}  // namespace kestrel
