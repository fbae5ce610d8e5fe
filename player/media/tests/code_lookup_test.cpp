#include "code_lookup.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "support/message_builder.h"
#include "video_parser.h"

namespace kestrel {
namespace {

using testing::Encode;
using testing::RandomFrame;
using testing::Tables;
using testing::ValueSpread;

const VideoCodeLookups& Lookups() {
  static const VideoCodeLookups lookups = [] {
    VideoCodeLookups l;
    EXPECT_TRUE(BuildCodeLookups(Tables(), l)) << "every code of the fixed tables fits the window";
    return l;
  }();
  return lookups;
}

TEST(CodeLookups, FixedTablesFitTheWindowAndOnlyDetailRunsHaveZeroRuns) {
  const int longest[] = {19, 17, 17, 20, 20};
  for (int t = 0; t < kCodeTableCount; ++t) {
    const CodeLookup& lookup = Lookups()[static_cast<CodeTableId>(t)];
    EXPECT_EQ(lookup.longestCode, longest[t]) << "table " << t;
    const bool detail = t >= static_cast<int>(CodeTableId::CoarseDetail);
    EXPECT_EQ(lookup.onesAreZeros, detail) << "table " << t;
  }
}

TEST(CodeLookups, TooLongACodeIsRefused) {
  // Frequencies doubling symbol by symbol give a chain: the rarest code is
  // n - 1 bits long.
  std::vector<std::uint32_t> chain(24);
  for (std::size_t i = 0; i < chain.size(); ++i) chain[i] = 1u << i;
  VideoCodeTables tables = BuildVideoCodeTables();
  tables.tables[static_cast<int>(CodeTableId::FineDetail)] = BuildCodeTable(chain.data(), chain.size());
  VideoCodeLookups lookups;
  EXPECT_FALSE(BuildCodeLookups(tables, lookups));
  EXPECT_EQ(lookups[CodeTableId::FineDetail].longestCode, 23);
}

void ExpectSameParse(const std::vector<std::uint8_t>& payload, const std::string& what) {
  VideoSymbols walked, looked;
  walked.values.fill(7);  // entries a parse leaves alone would show
  looked.values.fill(-7);
  const PayloadCheck a = ParseVideoFrame(Tables(), payload.data(), payload.size(), walked);
  const PayloadCheck b = ParseVideoFrame(Tables(), payload.data(), payload.size(), looked, &Lookups());
  EXPECT_EQ(a.bitsUsed, b.bitsUsed) << what;
  EXPECT_EQ(a.ranPastEnd, b.ranPastEnd) << what;
  EXPECT_EQ(a.countsCut, b.countsCut) << what;
  EXPECT_EQ(a.countsMismatch, b.countsMismatch) << what;
  EXPECT_EQ(walked.coarseCount, looked.coarseCount) << what;
  EXPECT_EQ(walked.fineCount, looked.fineCount) << what;
  EXPECT_EQ(walked.skipMap, looked.skipMap) << what;
  EXPECT_EQ(walked.values, looked.values) << what;
}

TEST(CodeLookups, ParsingByLookupMatchesTheBitWalkOnWholeAndCutPayloads) {
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    const auto whole = Encode(RandomFrame(seed, seed % 2 ? ValueSpread::AsFrequencies : ValueSpread::Uniform));
    // Every length near the end, where the window stops fitting, and a spread
    // of lengths through the runs.
    for (std::size_t cut = 0; cut <= 20; ++cut) {
      const std::vector<std::uint8_t> part(whole.begin(), whole.end() - static_cast<std::ptrdiff_t>(cut));
      ExpectSameParse(part, "seed " + std::to_string(seed) + " cut " + std::to_string(cut));
    }
    for (std::size_t keep = 0; keep < whole.size(); keep += 97) {
      const std::vector<std::uint8_t> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(keep));
      ExpectSameParse(part, "seed " + std::to_string(seed) + " keep " + std::to_string(keep));
    }
  }
}

TEST(CodeLookups, ParsingByLookupMatchesTheBitWalkOnNoise) {
  // Noise has counts above the limits, long runs of ones (zeros taken in one
  // step) and codes cut by the end.
  std::mt19937 rng(5);
  for (int round = 0; round < 200; ++round) {
    std::vector<std::uint8_t> payload(rng() % 6000);
    const unsigned ones = rng() % 4;  // bias some toward 1 bits
    for (auto& byte : payload) {
      byte = static_cast<std::uint8_t>(rng());
      for (unsigned i = 0; i < ones; ++i) byte |= static_cast<std::uint8_t>(rng());
    }
    ExpectSameParse(payload, "round " + std::to_string(round));
  }
}

}  // namespace
}  // namespace kestrel
