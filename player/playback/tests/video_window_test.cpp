#include "video_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <QApplication>
#include <QImage>

#include "auto_reset_event.h"
#include "manual_clock.h"
#include "message_format.h"
#include "timer_thread_clock.h"
#include "video_window_sink.h"

namespace kestrel {
namespace {

using testing::CManualClock;

struct PresentedCounter : IVideoWindowSink {
  std::atomic<int> presented{0};
  void OnFramePresented() override { ++presented; }
};

// A picture in memory order: bottom row first, blue-green-red bytes.
std::vector<std::uint8_t> Picture(QRgb bottomRow, QRgb otherRows) {
  std::vector<std::uint8_t> picture(kPictureBytes);
  for (int row = 0; row < kPictureHeight; ++row) {
    const QRgb colour = row == 0 ? bottomRow : otherRows;
    for (int x = 0; x < kPictureWidth; ++x) {
      std::uint8_t* pixel = &picture[row * kPictureRowBytes + 3 * x];
      pixel[0] = static_cast<std::uint8_t>(qBlue(colour));
      pixel[1] = static_cast<std::uint8_t>(qGreen(colour));
      pixel[2] = static_cast<std::uint8_t>(qRed(colour));
    }
  }
  return picture;
}

bool WaitFor(const std::atomic<int>& value, int expected) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (value.load() < expected && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return value.load() >= expected;
}

class VideoWindowTest : public ::testing::Test {
 protected:
  CManualClock clock;
  PresentedCounter sink;
  CVideoWindow window{nullptr, &sink, kPictureWidth, kPictureHeight, 5, 20, clock};
};

TEST_F(VideoWindowTest, HoldsNineteenPicturesAndRefusesTheTwentieth) {
  const auto picture = Picture(qRgb(0, 0, 0), qRgb(0, 0, 0));
  for (int i = 0; i < 19; ++i) ASSERT_TRUE(window.Push(picture.data())) << i;
  EXPECT_FALSE(window.Push(picture.data()));
  EXPECT_EQ(window.QueuedCount(), 19);
}

TEST_F(VideoWindowTest, ClockPeriodIsAThousandMillisecondsOverTheRate) {
  const int expected[] = {1000, 500, 333, 250, 200};
  for (int rate = 1; rate <= 5; ++rate) {
    window.SetFrameRate(rate);
    window.Start();
    EXPECT_EQ(clock.Period(), expected[rate - 1]) << rate;
    window.Stop();
  }
}

TEST_F(VideoWindowTest, FrameRateSetWhileRunningWaitsForTheNextStart) {
  window.Start();
  EXPECT_EQ(clock.Period(), 200);
  window.SetFrameRate(3);
  EXPECT_EQ(clock.Starts(), 1);
  EXPECT_EQ(clock.Period(), 200);
  window.Stop();
  window.Start();
  EXPECT_EQ(clock.Period(), 333);
  window.Stop();
}

TEST_F(VideoWindowTest, PresentsOnePicturePerTickAndStopKeepsTheRestUntilReset) {
  const auto picture = Picture(qRgb(0, 0, 0), qRgb(0, 0, 0));
  for (int i = 0; i < 5; ++i) window.Push(picture.data());
  window.Start();
  ASSERT_TRUE(clock.Tick());
  ASSERT_TRUE(WaitFor(sink.presented, 1));
  ASSERT_TRUE(clock.Tick());
  ASSERT_TRUE(WaitFor(sink.presented, 2));
  window.Stop();
  EXPECT_FALSE(clock.Running());
  EXPECT_EQ(window.QueuedCount(), 3);
  window.Start();  // Play after Pause goes on with the oldest kept picture
  ASSERT_TRUE(clock.Tick());
  ASSERT_TRUE(WaitFor(sink.presented, 3));
  window.Reset();
  EXPECT_FALSE(window.IsRunning());
  EXPECT_EQ(window.QueuedCount(), 0);
  EXPECT_TRUE(window.Push(picture.data()));
}

TEST_F(VideoWindowTest, StopEndsThePresentationThreadEvenBeforeItWaits) {
  // Each Stop joins the thread; a lost wake-up would hang here.
  for (int i = 0; i < 200; ++i) {
    window.Start();
    window.Stop();
  }
  EXPECT_FALSE(window.IsRunning());
  EXPECT_EQ(sink.presented.load(), 0);
}

TEST_F(VideoWindowTest, ShowsTheBitmapBottomUpAndKeepsItOnAnEmptyTick) {
  const auto picture = Picture(qRgb(255, 0, 0), qRgb(0, 0, 255));
  window.Push(picture.data());
  window.show();
  window.Start();
  ASSERT_TRUE(clock.Tick());
  ASSERT_TRUE(WaitFor(sink.presented, 1));
  QApplication::processEvents();
  QImage shown = window.grab().toImage();
  EXPECT_EQ(shown.pixel(10, kPictureHeight - 1), qRgb(255, 0, 0));
  EXPECT_EQ(shown.pixel(10, kPictureHeight - 2), qRgb(0, 0, 255));
  EXPECT_EQ(shown.pixel(10, 0), qRgb(0, 0, 255));

  ASSERT_TRUE(clock.Tick());  // nothing queued
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  window.Reset();
  QApplication::processEvents();
  shown = window.grab().toImage();
  EXPECT_EQ(sink.presented.load(), 1);
  EXPECT_EQ(shown.pixel(10, kPictureHeight - 1), qRgb(255, 0, 0));
}

TEST(TimerThreadClock, SetsTheEventEachPeriodAndNotAfterStop) {
  CTimerThreadClock clock;
  CAutoResetEvent event;
  clock.Start(5, event);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(event.WaitFor(std::chrono::seconds(2))) << i;
  clock.Stop();
  event.Reset();
  EXPECT_FALSE(event.WaitFor(std::chrono::milliseconds(30)));
}

TEST(AutoResetEvent, KeepsASignalGivenBeforeTheWaitAndClearsItWhenTaken) {
  CAutoResetEvent event;
  event.Set();
  event.Set();
  EXPECT_TRUE(event.WaitFor(std::chrono::milliseconds(0)));
  EXPECT_FALSE(event.WaitFor(std::chrono::milliseconds(0)));
  event.Set();
  event.Reset();
  EXPECT_FALSE(event.WaitFor(std::chrono::milliseconds(0)));
}

}  // namespace
}  // namespace kestrel
