#include "playing_time.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

std::string Text(std::uint64_t frames) {
  char text[64];
  FormatPlayingTime(text, sizeof text, frames);
  return text;
}

TEST(PlayingTime, FormatsWholeFramesAsMinutesAndTenths) {
  EXPECT_EQ(Text(0), "00 mins, 0.0 secs ");
  EXPECT_EQ(Text(3), "00 mins, 0.1 secs ");  // 60 ms rounds up
  EXPECT_EQ(Text(2), "00 mins, 0.0 secs ");  // 40 ms rounds down
  EXPECT_EQ(Text(150), "00 mins, 3.0 secs ");
  EXPECT_EQ(Text(2997), "00 mins, 59.9 secs ");
  EXPECT_EQ(Text(30000), "10 mins, 0.0 secs ");
  EXPECT_EQ(Text(3001), "01 mins, 0.0 secs ");
}

TEST(PlayingTime, NeverShowsSixtySecondsWithTheOldMinute) {
  // 59.96 and 59.98 seconds round to the next whole minute.
  EXPECT_EQ(Text(2998), "01 mins, 0.0 secs ");
  EXPECT_EQ(Text(2999), "01 mins, 0.0 secs ");
  for (std::uint64_t frames = 0; frames < 200000; ++frames) {
    ASSERT_EQ(Text(frames).find("60.0"), std::string::npos) << frames;
  }
}

TEST(PlayingTime, CountingBuffersDoesNotDrift) {
  // An hour of buffers is exactly an hour.
  EXPECT_EQ(Text(180000), "60 mins, 0.0 secs ");
  EXPECT_EQ(Text(180000 + 2995), "60 mins, 59.9 secs ");
}

}  // namespace
}  // namespace kestrel
