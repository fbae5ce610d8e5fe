// CPeakHold: what the level meter reads between two of its 50 ms ticks.
#include "peak_hold.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using Clock = CPeakHold::Clock;

TEST(PeakHold, EachReadGivesTheLargestPeakSinceTheLastAndStartsAfresh) {
  CPeakHold hold;
  const Clock::time_point start{1s};
  // Seven measurements between two reads, the loud one in the middle.
  const float peaks[] = {0.05f, 0.1f, -0.8f, 0.3f, 0.02f, 0.0f, 0.01f};
  Clock::time_point now = start;
  for (const float peak : peaks) hold.Add(peak, now += 7ms);
  EXPECT_FLOAT_EQ(hold.Take(now), 0.8f) << "the largest magnitude, not the latest";
  hold.Add(0.2f, now += 7ms);
  EXPECT_FLOAT_EQ(hold.Take(now), 0.2f) << "the read before forgot 0.8";
  hold.Add(3.0f, now += 7ms);
  EXPECT_FLOAT_EQ(hold.Take(now), 1.0f) << "clipped to full scale";
}

TEST(PeakHold, ASourceThatHasGoneQuietReadsZeroAndAnOldHoldIsNotShown) {
  CPeakHold hold;
  Clock::time_point now{1s};
  EXPECT_EQ(hold.Take(now), 0.0f) << "nothing measured yet";
  hold.Add(0.9f, now);
  EXPECT_EQ(hold.Take(now + 300ms), 0.0f) << "no measurement for longer than the stale time";

  // Measurements go on while nobody reads (the dialog is hidden): the first
  // read afterwards shows what plays now, not the loudest of all that time.
  hold.Add(0.9f, now += 1s);
  for (int i = 0; i < 100; ++i) hold.Add(0.1f, now += 7ms);
  EXPECT_FLOAT_EQ(hold.Take(now), 0.1f);
}

}  // namespace
}  // namespace kestrel
