#include "buffer_accounting.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrel {
namespace {

struct Recorder : IWaveOutputListener {
  std::vector<std::uint32_t> tags;
  void OnBufferFinished(std::uint32_t tag) override { tags.push_back(tag); }
  void OnDeviceLost() override {}
};

TEST(BufferAccounting, ReportsEachBufferOnceItsEndHasBeenPlayed) {
  CBufferAccounting accounting;
  Recorder recorder;
  accounting.Restart(0);
  for (std::uint32_t tag = 1; tag <= 3; ++tag) ASSERT_TRUE(accounting.Add(320, tag));

  accounting.Advance(319, &recorder);
  EXPECT_TRUE(recorder.tags.empty());
  accounting.Advance(320, &recorder);
  EXPECT_EQ(recorder.tags, (std::vector<std::uint32_t>{1}));
  accounting.Advance(960, &recorder);
  EXPECT_EQ(recorder.tags, (std::vector<std::uint32_t>{1, 2, 3}));
  EXPECT_EQ(accounting.Pending(), 0);
}

TEST(BufferAccounting, PlayedPositionNeverGoesBackNorBeyondWhatWasWritten) {
  CBufferAccounting accounting;
  Recorder recorder;
  accounting.Restart(1000);
  accounting.Add(320, 7);
  accounting.Add(320, 8);
  // A latency larger than what was read gives a position before the start.
  accounting.Advance(-5000, &recorder);
  EXPECT_EQ(accounting.Played(), 1000);
  accounting.Advance(1400, &recorder);
  accounting.Advance(1200, &recorder);  // a jumpy latency reading
  EXPECT_EQ(accounting.Played(), 1400);
  accounting.Advance(99999, &recorder);
  EXPECT_EQ(accounting.Played(), 1640);
  EXPECT_EQ(recorder.tags, (std::vector<std::uint32_t>{7, 8}));
}

TEST(BufferAccounting, GiveBackReportsAllPendingAndRestartForgetsThem) {
  CBufferAccounting accounting;
  Recorder recorder;
  accounting.Restart(0);
  accounting.Add(320, 1);
  accounting.Add(320, 2);
  accounting.GiveBackAll(&recorder);
  EXPECT_EQ(recorder.tags, (std::vector<std::uint32_t>{1, 2}));

  // After a flush the stream continues from the server's read position.
  accounting.Restart(5000);
  accounting.Add(320, 3);
  accounting.Advance(5319, &recorder);
  EXPECT_EQ(recorder.tags.size(), 2u);
  accounting.Advance(5320, &recorder);
  EXPECT_EQ(recorder.tags.back(), 3u);
}

TEST(BufferAccounting, RefusesBeyondCapacity) {
  CBufferAccounting accounting;
  accounting.Restart(0);
  for (int i = 0; i < CBufferAccounting::kCapacity; ++i) ASSERT_TRUE(accounting.Add(320, 0));
  EXPECT_FALSE(accounting.Add(320, 0));
  EXPECT_EQ(accounting.Pending(), CBufferAccounting::kCapacity);
}

}  // namespace
}  // namespace kestrel
