#include "temporary_files.h"

#include <limits.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace kestrel::tool {

namespace {

constexpr int kCaughtSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

enum SlotState { kFree = 0, kFilling = 1, kInUse = 2 };

struct Slot {
  std::atomic<int> state{kFree};
  std::atomic<int> count{0};
  TemporaryKind kind = TemporaryKind::File;
  char path[PATH_MAX] = {};
};

// Fixed storage: the signal handler reads it without locks or allocation.
// Constant-initialised (all zero), so no start-up code touches its pages.
constexpr int kSlotCount = 32;
constinit Slot g_slots[kSlotCount];
std::atomic<pid_t> g_child{0};

void RemoveNumberedPngs(const Slot& slot) {
  char name[PATH_MAX + 32];
  const std::size_t dirLength = std::strlen(slot.path);
  std::memcpy(name, slot.path, dirLength);
  name[dirLength] = '/';
  for (int i = slot.count.load(std::memory_order_acquire); i >= 1; --i) {
    NumberedPngName(i, name + dirLength + 1);
    unlink(name);
  }
  rmdir(slot.path);
}

// Files first, then folders of pictures, then plain folders, deepest first,
// so that each folder is empty when its turn comes.
void RemoveRegistered() {
  for (auto& slot : g_slots)
    if (slot.state.load(std::memory_order_acquire) == kInUse && slot.kind == TemporaryKind::File) unlink(slot.path);
  for (auto& slot : g_slots)
    if (slot.state.load(std::memory_order_acquire) == kInUse && slot.kind == TemporaryKind::NumberedPngs)
      RemoveNumberedPngs(slot);
  bool done[kSlotCount] = {};
  for (;;) {
    int deepest = -1;
    std::size_t deepestLength = 0;
    for (int i = 0; i < kSlotCount; ++i) {
      const Slot& slot = g_slots[i];
      if (done[i] || slot.state.load(std::memory_order_acquire) != kInUse || slot.kind != TemporaryKind::Folder)
        continue;
      const std::size_t length = std::strlen(slot.path);
      if (deepest < 0 || length > deepestLength) {
        deepest = i;
        deepestLength = length;
      }
    }
    if (deepest < 0) break;
    done[deepest] = true;
    rmdir(g_slots[deepest].path);
  }
}

void OnSignal(int signal) {
  RemoveRegistered();
  if (const pid_t child = g_child.load(); child > 0) kill(child, SIGTERM);
  // SA_RESETHAND has put the default action back; the signal, held until
  // this handler returns, then ends the process as it would have.
  raise(signal);
}

}  // namespace

void RemoveTemporariesOnSignals() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (int signal : kCaughtSignals) sigaddset(&action.sa_mask, signal);
  for (int signal : kCaughtSignals) {
    struct sigaction previous {};
    if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
}

TemporaryEntry& TemporaryEntry::operator=(TemporaryEntry&& other) noexcept {
  if (this != &other) {
    Forget();
    slot_ = other.slot_;
    other.slot_ = -1;
  }
  return *this;
}

bool TemporaryEntry::Register(const std::string& path, TemporaryKind kind) {
  Forget();
  if (path.size() >= PATH_MAX) return false;
  for (int i = 0; i < kSlotCount; ++i) {
    int expected = kFree;
    if (!g_slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    Slot& slot = g_slots[i];
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.kind = kind;
    slot.count.store(0, std::memory_order_relaxed);
    slot.state.store(kInUse, std::memory_order_release);
    slot_ = i;
    return true;
  }
  return false;
}

void TemporaryEntry::SetCount(int count) {
  if (slot_ >= 0) g_slots[slot_].count.store(count, std::memory_order_release);
}

void TemporaryEntry::Forget() {
  if (slot_ >= 0) g_slots[slot_].state.store(kFree, std::memory_order_release);
  slot_ = -1;
}

SignalsHeld::SignalsHeld() {
  sigset_t held;
  sigemptyset(&held);
  for (int signal : kCaughtSignals) sigaddset(&held, signal);
  pthread_sigmask(SIG_BLOCK, &held, &saved_);
}

SignalsHeld::~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }

void SetChildToStop(pid_t child) { g_child.store(child); }

int NumberedPngName(int index, char* out) {
  char digits[16];
  int n = 0;
  unsigned value = index < 0 ? 0u : static_cast<unsigned>(index);
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n < 5) digits[n++] = '0';
  int length = 0;
  for (const char* p = "frame-"; *p;) out[length++] = *p++;
  while (n > 0) out[length++] = digits[--n];
  for (const char* p = ".png"; *p;) out[length++] = *p++;
  out[length] = '\0';
  return length;
}

}  // namespace kestrel::tool
