#include "video_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <vector>

#include <QApplication>
#include <QImage>

#include "auto_reset_event.h"
#include "message_format.h"
#include "video_window_sink.h"

namespace kestrel {
namespace {

struct PresentedCounter : IVideoWindowSink {
  std::atomic<int> presented{0};
  CAutoResetEvent changed;
  void OnFramePresented() override {
    ++presented;
    changed.Set();
  }
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

// Until `expected` pictures have gone up, woken by each one.
bool WaitFor(PresentedCounter& sink, int expected) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (sink.presented.load() < expected) {
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= left.zero()) return false;
    sink.changed.WaitFor(std::chrono::duration_cast<std::chrono::milliseconds>(left) + std::chrono::milliseconds(1));
  }
  return true;
}

class VideoWindowTest : public ::testing::Test {
 protected:
  // Pushes `n` pictures due every `step` frames from `first` on.
  void PushPictures(int n, std::uint64_t first, std::uint64_t step) {
    for (int i = 0; i < n; ++i) ASSERT_TRUE(window.Push(black.data(), first + step * i)) << i;
  }
  // The presentation thread has settled, with nothing due, after exactly
  // `presented` pictures: no more go up until the position moves.
  void ExpectNoMoreThan(int presented) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!window.IsWaiting() && std::chrono::steady_clock::now() < deadline) sink.changed.WaitFor(kSettle);
    EXPECT_TRUE(window.IsWaiting()) << "the presentation thread never settled";
    EXPECT_EQ(sink.presented.load(), presented);
  }
  // Between looks at a thread that settles without telling.
  static constexpr std::chrono::milliseconds kSettle{1};

  PresentedCounter sink;
  CVideoWindow window{nullptr, &sink, kPictureWidth, kPictureHeight, 20};
  const std::vector<std::uint8_t> black = Picture(qRgb(0, 0, 0), qRgb(0, 0, 0));
};

TEST_F(VideoWindowTest, HoldsNineteenPicturesAndRefusesTheTwentieth) {
  PushPictures(19, 0, 10);
  EXPECT_FALSE(window.Push(black.data(), 190));
  EXPECT_EQ(window.QueuedCount(), 19);
  EXPECT_EQ(window.NextDue(), 0u);
}

TEST_F(VideoWindowTest, APictureGoesUpWhenThePlayedPositionReachesItsDueTime) {
  PushPictures(5, 0, 10);
  window.Start();
  ASSERT_TRUE(WaitFor(sink, 1)) << "the first picture is due at once";
  ExpectNoMoreThan(1);
  window.SetPlayedPosition(9);
  ExpectNoMoreThan(1);
  EXPECT_EQ(window.NextDue(), 10u);
  window.SetPlayedPosition(10);
  ASSERT_TRUE(WaitFor(sink, 2));
  ExpectNoMoreThan(2);

  // Stopped (paused), the position may move without a picture going up;
  // Start shows at once those that are due by then, oldest first.
  window.Stop();
  window.SetPlayedPosition(35);
  EXPECT_EQ(sink.presented.load(), 2);  // Stop has ended the thread
  EXPECT_EQ(window.QueuedCount(), 3);
  window.Start();
  ASSERT_TRUE(WaitFor(sink, 4));
  ExpectNoMoreThan(4);
  EXPECT_EQ(window.NextDue(), 40u);

  window.Reset();
  EXPECT_FALSE(window.IsRunning());
  EXPECT_EQ(window.QueuedCount(), 0);
  EXPECT_EQ(window.NextDue(), CVideoWindow::kNothingQueued);
  EXPECT_TRUE(window.Push(black.data(), 0));
}

TEST_F(VideoWindowTest, PicturesPushedLateGoUpAtOnceAndNoneIsDropped) {
  window.SetPlayedPosition(1000);
  window.Start();
  PushPictures(19, 0, 10);
  ASSERT_TRUE(WaitFor(sink, 19));
  EXPECT_EQ(window.QueuedCount(), 0);
  // And one pushed ahead of the position waits for it.
  ASSERT_TRUE(window.Push(black.data(), 1001));
  ExpectNoMoreThan(19);
  window.SetPlayedPosition(1001);
  ASSERT_TRUE(WaitFor(sink, 20));
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

TEST_F(VideoWindowTest, ShowsTheBitmapBottomUpKeepsItAfterResetAndClearsItToBlack) {
  const auto picture = Picture(qRgb(255, 0, 0), qRgb(0, 0, 255));
  window.Push(picture.data(), 0);
  window.show();
  window.Start();
  ASSERT_TRUE(WaitFor(sink, 1));
  QApplication::processEvents();
  QImage shown = window.grab().toImage();
  EXPECT_EQ(shown.pixel(10, kPictureHeight - 1), qRgb(255, 0, 0));
  EXPECT_EQ(shown.pixel(10, kPictureHeight - 2), qRgb(0, 0, 255));
  EXPECT_EQ(shown.pixel(10, 0), qRgb(0, 0, 255));

  window.Reset();
  QApplication::processEvents();
  shown = window.grab().toImage();
  EXPECT_EQ(shown.pixel(10, kPictureHeight - 1), qRgb(255, 0, 0)) << "the last picture stays up";

  window.ClearPicture();
  QApplication::processEvents();
  shown = window.grab().toImage();
  EXPECT_EQ(shown.pixel(10, kPictureHeight - 1), qRgb(0, 0, 0));
  EXPECT_EQ(shown.pixel(10, 0), qRgb(0, 0, 0));
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
