#include "wave_device.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include <QCoreApplication>

#include "completion_mailbox.h"
#include "scripted_wave_output.h"
#include "silent_wave_output.h"
#include "volume_dialog_hook.h"
#include "wave_device_sink.h"
#include "window_messages.h"

namespace kestrel {
namespace {

using testing::CScriptedWaveOutput;

struct CountingSink : IWaveDeviceSink {
  int done = 0;
  int lost = 0;
  void OnBufferDone() override { ++done; }
  void OnDeviceLost() override { ++lost; }
};

std::array<std::int16_t, 160> Block(std::int16_t value) {
  std::array<std::int16_t, 160> block;
  block.fill(value);
  return block;
}

class WaveDeviceTest : public ::testing::Test {
 protected:
  void QueueBlocks(int n, int firstValue = 1) {
    for (int i = 0; i < n; ++i) {
      const auto block = Block(static_cast<std::int16_t>(firstValue + i));
      device.Queue(block.data());
    }
  }

  CScriptedWaveOutput output;
  CScriptedWaveOutput fallback;
  CountingSink sink;
  CWaveDevice device{nullptr, &sink, 160, 20, 2, 8000, output, fallback};
};

TEST_F(WaveDeviceTest, TwentyBlocksWaitAndTheTwentyFirstStartsTheOutput) {
  ASSERT_TRUE(device.Open());
  QueueBlocks(20);
  EXPECT_FALSE(output.IsRunning());
  EXPECT_EQ(device.QueuedCount(), 20);
  EXPECT_EQ(output.Pending(), 20);
  QueueBlocks(1);
  EXPECT_TRUE(output.IsRunning());
  EXPECT_EQ(output.Restarts(), 1);
}

TEST_F(WaveDeviceTest, ReportsEachFinishedBufferAndPausesWhenTheRingRunsDry) {
  ASSERT_TRUE(device.Open());
  QueueBlocks(21);
  ASSERT_TRUE(output.FinishNext(20));
  device.DeliverNotices();
  EXPECT_EQ(sink.done, 20);
  EXPECT_EQ(device.QueuedCount(), 1);
  EXPECT_TRUE(output.IsRunning());
  ASSERT_TRUE(output.FinishNext());
  device.DeliverNotices();
  EXPECT_EQ(sink.done, 21);
  EXPECT_EQ(device.QueuedCount(), 0);
  EXPECT_FALSE(output.IsRunning());
  // Running dry means waiting for the pre-roll again.
  QueueBlocks(20);
  EXPECT_FALSE(output.IsRunning());
  QueueBlocks(1);
  EXPECT_TRUE(output.IsRunning());
}

TEST_F(WaveDeviceTest, NoticesArriveThroughTheEventLoop) {
  ASSERT_TRUE(device.Open());
  QueueBlocks(21);
  ASSERT_TRUE(output.FinishNext(3));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (sink.done < 3 && std::chrono::steady_clock::now() < deadline) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  EXPECT_EQ(sink.done, 3);
}

TEST_F(WaveDeviceTest, NoticesThatFindTheMailboxFullStillCount) {
  // Pauses give back the whole ring each time; with the user-interface
  // thread not taking them, their notices fill the mailbox, and those of the
  // buffers then played find it full.
  ASSERT_TRUE(device.Open());
  QueueBlocks(CWaveDevice::kMaxQueued);
  for (int cycle = 0; cycle < 5; ++cycle) {
    device.Pause();
    device.Resume();
  }
  ASSERT_GT(5 * CWaveDevice::kMaxQueued, CCompletionMailbox::kCapacity);
  ASSERT_TRUE(output.FinishNext(CWaveDevice::kMaxQueued));
  device.DeliverNotices();
  EXPECT_EQ(sink.done, CWaveDevice::kMaxQueued) << "every played buffer is reported once";
  EXPECT_EQ(device.QueuedCount(), 0) << "the ring runs dry, so the message can end";
  EXPECT_FALSE(output.IsRunning());
}

TEST_F(WaveDeviceTest, ResumeAfterPauseWritesAllTwentyFivePendingAgainFromTheirBeginnings) {
  ASSERT_TRUE(device.Open());
  QueueBlocks(30);
  ASSERT_TRUE(output.FinishNext(5));
  device.DeliverNotices();
  ASSERT_EQ(device.QueuedCount(), 25);
  const auto before = output.Writes();

  device.Pause();
  EXPECT_FALSE(output.IsRunning());
  EXPECT_EQ(output.Pending(), 0);  // the reset gave them all back
  device.DeliverNotices();
  EXPECT_EQ(sink.done, 5);  // ... and those notices did not count
  EXPECT_EQ(device.QueuedCount(), 25);

  output.ForgetWrites();
  const int restartsBefore = output.Restarts();
  device.Resume();
  const auto again = output.Writes();
  ASSERT_EQ(again.size(), 25u);
  for (int i = 0; i < 25; ++i) {
    EXPECT_EQ(again[i].data, before[5 + i].data) << i;
    EXPECT_EQ(again[i].firstSample, 6 + i) << i;
  }
  EXPECT_TRUE(output.IsRunning());
  EXPECT_EQ(output.Restarts(), restartsBefore + 1);
}

TEST_F(WaveDeviceTest, ResumeWithFewPendingWaitsForThePreRollUntilTheInputHasEnded) {
  ASSERT_TRUE(device.Open());
  QueueBlocks(25);
  ASSERT_TRUE(output.FinishNext(10));
  device.DeliverNotices();
  device.Pause();
  device.Resume();
  EXPECT_EQ(device.QueuedCount(), 15);
  EXPECT_FALSE(output.IsRunning());

  device.Pause();
  device.EndOfInput();               // the reader has reached the end of the data
  EXPECT_FALSE(output.IsRunning());  // still held
  device.Resume();
  EXPECT_TRUE(output.IsRunning());
  ASSERT_TRUE(output.FinishNext(15));
  device.DeliverNotices();
  EXPECT_EQ(device.QueuedCount(), 0);
  EXPECT_EQ(sink.done, 25);
}

TEST_F(WaveDeviceTest, AShortMessageIsHeardOnceTheInputHasEnded) {
  ASSERT_TRUE(device.Open());
  QueueBlocks(7);
  EXPECT_FALSE(output.IsRunning());
  device.EndOfInput();
  EXPECT_TRUE(output.IsRunning());
}

TEST_F(WaveDeviceTest, TheReaderCanStartTheOutputBelowThePreRoll) {
  ASSERT_TRUE(device.Open());
  device.PlayWhatIsQueued();
  EXPECT_FALSE(output.IsRunning()) << "nothing queued, nothing to play";
  QueueBlocks(5);
  device.PlayWhatIsQueued();
  EXPECT_TRUE(output.IsRunning());
  device.Pause();
  device.PlayWhatIsQueued();
  EXPECT_FALSE(output.IsRunning()) << "held stays held";
}

TEST_F(WaveDeviceTest, ALostDeviceIsReplacedByTheFallbackWithWhatWasNotHeard) {
  ASSERT_TRUE(device.Open());
  QueueBlocks(30);
  ASSERT_TRUE(output.FinishNext(5));
  device.DeliverNotices();
  ASSERT_TRUE(output.FinishNext(3));  // heard just before the device went
  output.Lose();
  EXPECT_EQ(sink.lost, 0) << "told on the user-interface thread only";
  device.DeliverNotices();
  EXPECT_EQ(sink.done, 8);
  EXPECT_EQ(sink.lost, 1);
  EXPECT_TRUE(device.UsesFallback());
  EXPECT_FALSE(output.IsOpen());
  EXPECT_EQ(device.QueuedCount(), 22);
  // The 22 not heard, from their beginnings and in order, playing on.
  const auto moved = fallback.Writes();
  ASSERT_EQ(moved.size(), 22u);
  for (int i = 0; i < 22; ++i) EXPECT_EQ(moved[i].firstSample, 9 + i) << i;
  EXPECT_TRUE(fallback.IsRunning());
  QueueBlocks(2, 31);
  ASSERT_TRUE(fallback.FinishNext(24));
  device.DeliverNotices();
  EXPECT_EQ(sink.done, 32);
  EXPECT_EQ(sink.lost, 1);

  // The next Play after a pause uses the sound device again.
  device.Pause();
  device.Resume();
  EXPECT_FALSE(device.UsesFallback());
  EXPECT_TRUE(output.IsOpen());
  EXPECT_FALSE(fallback.IsOpen());
  output.ForgetWrites();
  QueueBlocks(1, 99);
  ASSERT_EQ(output.Writes().size(), 1u);
  EXPECT_EQ(output.Writes()[0].firstSample, 99);
}

TEST_F(WaveDeviceTest, ALossWhileHeldWaitsForResumeAndOneOvertakenByCloseIsForgotten) {
  ASSERT_TRUE(device.Open());
  QueueBlocks(30);
  device.Pause();
  output.Lose();
  output.SetOpenFails(true);  // and the server is still gone at the next Play
  device.DeliverNotices();
  EXPECT_EQ(sink.lost, 1);
  EXPECT_TRUE(device.UsesFallback());
  EXPECT_TRUE(fallback.Writes().empty()) << "held: nothing is written before Resume";
  device.Resume();
  EXPECT_TRUE(device.UsesFallback());
  EXPECT_EQ(fallback.Writes().size(), 30u);
  EXPECT_TRUE(fallback.IsRunning());

  output.SetOpenFails(false);
  device.Close();
  ASSERT_TRUE(device.Open());
  EXPECT_FALSE(device.UsesFallback());
  output.Lose();
  device.Close();
  ASSERT_TRUE(device.Open());
  device.DeliverNotices();
  EXPECT_EQ(sink.lost, 1);
  EXPECT_FALSE(device.UsesFallback());
}

TEST_F(WaveDeviceTest, AFullRingDropsTheBlock) {
  ASSERT_TRUE(device.Open());
  QueueBlocks(260);
  EXPECT_EQ(device.QueuedCount(), 249);
  EXPECT_EQ(output.Writes().size(), 249u);
}

TEST_F(WaveDeviceTest, QueueWhileClosedOrHeldChangesNothing) {
  QueueBlocks(3);
  EXPECT_EQ(device.QueuedCount(), 0);
  EXPECT_TRUE(output.Writes().empty());
  ASSERT_TRUE(device.Open());
  QueueBlocks(3);
  device.Pause();
  QueueBlocks(3);
  EXPECT_EQ(device.QueuedCount(), 3);
  EXPECT_EQ(output.Writes().size(), 3u);
}

TEST_F(WaveDeviceTest, NoticesOfAClosedDeviceDoNotCountAgainstTheNextOpen) {
  ASSERT_TRUE(device.Open());
  QueueBlocks(30);
  ASSERT_TRUE(output.FinishNext(4));  // heard, but not yet handled
  device.Close();                     // gives back the other 26
  ASSERT_TRUE(device.Open());
  QueueBlocks(21);
  device.DeliverNotices();
  EXPECT_EQ(sink.done, 0);
  EXPECT_EQ(device.QueuedCount(), 21);
  ASSERT_TRUE(output.FinishNext(1));
  device.DeliverNotices();
  EXPECT_EQ(sink.done, 1);
  EXPECT_EQ(device.QueuedCount(), 20);
}

TEST_F(WaveDeviceTest, ClearForgetsTheRingOnlyWhileHeld) {
  ASSERT_TRUE(device.Open());
  QueueBlocks(10);
  device.Clear();
  EXPECT_EQ(device.QueuedCount(), 10);
  device.Pause();
  device.Clear();
  EXPECT_EQ(device.QueuedCount(), 0);
  output.ForgetWrites();
  device.Resume();
  EXPECT_TRUE(output.Writes().empty());
  // Writing starts again at the beginning of the ring.
  QueueBlocks(1, 42);
  ASSERT_EQ(output.Writes().size(), 1u);
  EXPECT_EQ(output.Writes()[0].firstSample, 42);
}

// Blocks laid end to end, as the reader hands a record's sound over:
// block i holds first + i.
std::vector<std::int16_t> Blocks(int n, int first) {
  std::vector<std::int16_t> blocks;
  for (int i = 0; i < n; ++i) {
    const auto block = Block(static_cast<std::int16_t>(first + i));
    blocks.insert(blocks.end(), block.begin(), block.end());
  }
  return blocks;
}

TEST_F(WaveDeviceTest, BlocksQueuedTogetherGoOutInOneWriteAndFinishOneByOne) {
  ASSERT_TRUE(device.Open());
  const auto record = Blocks(10, 1);
  device.QueueBlocks(record.data(), 10);
  EXPECT_EQ(output.WriteCalls(), 1);
  EXPECT_EQ(device.QueuedCount(), 10);
  EXPECT_FALSE(output.IsRunning());
  // The pre-roll counts blocks, not writes: the third record starts it.
  const auto more = Blocks(20, 11);
  device.QueueBlocks(more.data(), 10);
  EXPECT_FALSE(output.IsRunning());
  device.QueueBlocks(more.data() + 10 * 160, 10);
  EXPECT_TRUE(output.IsRunning());
  EXPECT_EQ(output.WriteCalls(), 3);
  const auto writes = output.Writes();
  ASSERT_EQ(writes.size(), 30u);
  for (int i = 0; i < 30; ++i) EXPECT_EQ(writes[i].firstSample, 1 + i) << i;
  // One notice, and one OnBufferDone, per block.
  ASSERT_TRUE(output.FinishNext(7));
  device.DeliverNotices();
  EXPECT_EQ(sink.done, 7);
  EXPECT_EQ(device.QueuedCount(), 23);
}

TEST_F(WaveDeviceTest, BlocksAcrossTheEndOfTheRingTakeTwoWritesAndAFullRingDropsTheRest) {
  ASSERT_TRUE(device.Open());
  QueueBlocks(245);
  ASSERT_TRUE(output.FinishNext(245));
  device.DeliverNotices();
  ASSERT_EQ(device.QueuedCount(), 0);
  output.ForgetWrites();
  // Five blocks fit before the ring's end, the other five wrap to its start.
  const auto record = Blocks(10, 100);
  device.QueueBlocks(record.data(), 10);
  EXPECT_EQ(output.WriteCalls(), 2);
  auto writes = output.Writes();
  ASSERT_EQ(writes.size(), 10u);
  EXPECT_EQ(writes[4].data + 320, writes[0].data + 5 * 320) << "the first five lie end to end";
  EXPECT_LT(writes[5].data, writes[4].data) << "the sixth is at the ring's start";
  for (int i = 0; i < 10; ++i) EXPECT_EQ(writes[i].firstSample, 100 + i) << i;
  // Up to 249 queued: of 250 more, 239 go in.
  const auto many = Blocks(250, 1);
  device.QueueBlocks(many.data(), 250);
  EXPECT_EQ(device.QueuedCount(), 249);
  EXPECT_EQ(output.Writes().size(), 249u);
  EXPECT_EQ(output.Writes().back().firstSample, 239);
}

TEST_F(WaveDeviceTest, ResumeWritesTheKeptRingInAtMostTwoWrites) {
  ASSERT_TRUE(device.Open());
  QueueBlocks(240);
  ASSERT_TRUE(output.FinishNext(230));
  device.DeliverNotices();
  QueueBlocks(30, 500);  // what is kept wraps: 20 buffers at the ring's end, 20 at its start
  device.Pause();
  device.DeliverNotices();
  ASSERT_EQ(device.QueuedCount(), 40);
  output.ForgetWrites();
  device.Resume();
  EXPECT_EQ(output.WriteCalls(), 2);
  const auto again = output.Writes();
  ASSERT_EQ(again.size(), 40u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(again[i].firstSample, 231 + i) << i;
  for (int i = 0; i < 30; ++i) EXPECT_EQ(again[10 + i].firstSample, 500 + i) << i;
  EXPECT_TRUE(output.IsRunning());
}

struct VolumeDialogRecorder : IVolumeDialogHook {
  std::vector<bool> requests;
  void Show() override { requests.push_back(true); }
  void Hide() override { requests.push_back(false); }
};

class ClosedNoticeCounter : public QWidget {
 public:
  int closed = 0;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == EventTypeOf(WM_VOLUME_DIALOG_CLOSED)) {
      ++closed;
      return true;
    }
    return QWidget::event(event);
  }
};

TEST(WaveDeviceVolumeDialog, PassesShowAndHideOnAndTheClosingUp) {
  CScriptedWaveOutput output;
  CScriptedWaveOutput fallback;
  CountingSink sink;
  ClosedNoticeCounter mainWindow;
  auto* device = new CWaveDevice(&mainWindow, &sink, 160, 20, 2, 8000, output, fallback);
  device->ShowVolumeDialog(true);  // no dialog yet: nothing happens
  VolumeDialogRecorder dialog;
  device->SetVolumeDialog(&dialog);
  device->ShowVolumeDialog(true);
  device->ShowVolumeDialog(false);
  EXPECT_EQ(dialog.requests, (std::vector<bool>{true, false}));
  QEvent closed(EventTypeOf(WM_VOLUME_DIALOG_CLOSED));
  QCoreApplication::sendEvent(device, &closed);
  EXPECT_EQ(mainWindow.closed, 1);
}

struct OwnedDialog : IVolumeDialogHook {
  explicit OwnedDialog(bool* deleted) : deletedFlag(deleted) {}
  ~OwnedDialog() override { *deletedFlag = true; }
  void Show() override { ++shown; }
  void Hide() override {}
  int shown = 0;
  bool* deletedFlag;
};

TEST(WaveDeviceVolumeDialog, AnAdoptedDialogGetsTheRequestsAndGoesWithTheDevice) {
  CScriptedWaveOutput output;
  CScriptedWaveOutput fallback;
  CountingSink sink;
  bool deleted = false;
  auto device = std::make_unique<CWaveDevice>(nullptr, &sink, 160, 20, 2, 8000, output, fallback);
  auto dialog = std::make_unique<OwnedDialog>(&deleted);
  OwnedDialog* watched = dialog.get();
  device->AdoptVolumeDialog(std::move(dialog));
  device->ShowVolumeDialog(true);
  EXPECT_EQ(watched->shown, 1);
  device.reset();
  EXPECT_TRUE(deleted);
}

TEST(WaveDeviceFallback, KeepsTimeWithoutASoundDevice) {
  CScriptedWaveOutput output;
  output.SetOpenFails(true);
  CSilentWaveOutput silent(20);  // twenty times real time
  CountingSink sink;
  CWaveDevice device(nullptr, &sink, 160, 20, 2, 8000, output, silent);
  EXPECT_FALSE(device.Open());
  EXPECT_TRUE(device.IsOpen());
  EXPECT_TRUE(device.UsesFallback());
  const auto block = Block(0);
  for (int i = 0; i < 25; ++i) device.Queue(block.data());
  EXPECT_EQ(device.QueuedCount(), 25);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (sink.done < 25 && std::chrono::steady_clock::now() < deadline) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  EXPECT_EQ(sink.done, 25);
  EXPECT_EQ(device.QueuedCount(), 0);
  device.Close();
}

}  // namespace
}  // namespace kestrel
