// The engine's own threads (reader, presentation, silent output)
// allocate nothing while a message plays: every buffer, ring and picture is
// made at construction or at Open. Counted by replacing operator new in this
// test program only.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <new>
#include <thread>

#include "counting_panel.h"
#include "panel_host.h"
#include "playback_panel.h"
#include "pump.h"
#include "recording_message_box.h"
#include "silent_wave_output.h"
#include "support/message_builder.h"
#include "tone_audio.h"

namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_workerAllocations{0};
std::thread::id g_mainThread;
}  // namespace

void* operator new(std::size_t size) {
  if (g_counting.load(std::memory_order_relaxed) && std::this_thread::get_id() != g_mainThread) {
    g_workerAllocations.fetch_add(1, std::memory_order_relaxed);
  }
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace kestrel {
namespace {

using namespace std::chrono_literals;

TEST(SteadyPlay, TheCounterSeesAllocationsOfOtherThreads) {
  g_mainThread = std::this_thread::get_id();
  g_workerAllocations = 0;
  g_counting = true;
  std::thread([] {
    int* volatile kept = new int(7);  // volatile: the pair must not be elided
    delete kept;
  }).join();
  g_counting = false;
  EXPECT_GE(g_workerAllocations.load(), 1);
  g_workerAllocations = 0;
}

TEST(SteadyPlay, EngineThreadsAllocateNothingWhilePlaying) {
  g_mainThread = std::this_thread::get_id();
  g_workerAllocations = 0;
  const auto records = testing::ToneRecords(25, 300.0, 11);  // five seconds
  testing::MessageBuilder builder;
  builder.FrameRate(5);
  for (std::size_t i = 0; i < records.size(); ++i) {
    builder.Audio(records[i]);
    builder.Video(
        testing::Encode(testing::RandomFrame(static_cast<std::uint32_t>(i), testing::ValueSpread::AsFrequencies)));
  }
  const std::string path = builder.WriteTo(testing::TempPath("steady.qrv"));

  CSilentWaveOutput silent(4);
  CSilentWaveOutput spare(4);
  testing::CRecordingMessageBox box;
  testing::CPanelHost host;
  auto panel = std::make_unique<testing::CCountingPanel>(&host, PlaybackServices{&silent, &spare, &box, {}});
  ASSERT_TRUE(panel->Open(QString::fromStdString(path)));
  panel->Play();
  // Threads start (and allocate their own state) at Play; count after that.
  ASSERT_TRUE(testing::PumpUntil([&] { return panel->HeardBuffers() >= 10; }));
  const int presentedBefore = panel->presented.load();
  g_counting = true;
  ASSERT_TRUE(testing::PumpUntil([&] { return panel->HeardBuffers() >= 200; }));
  g_counting = false;
  EXPECT_GE(panel->presented.load() - presentedBefore, 3) << "pictures were shown meanwhile";
  EXPECT_EQ(g_workerAllocations.load(), 0);
  panel.reset();
}

}  // namespace
}  // namespace kestrel
