// Temporary files that an interrupted run must not leave behind. Every
// temporary file or folder qrvtool makes is registered here; SIGINT, SIGTERM,
// SIGHUP and SIGPIPE remove what is registered (and stop a program qrvtool
// runs) before the process ends as the signal would have ended it.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <string>

namespace kestrel::tool {

// Installs the handlers; main() calls it once. A signal that was ignored when
// qrvtool started (nohup, a background job) stays ignored.
void RemoveTemporariesOnSignals();

enum class TemporaryKind {
  File,          // removed
  Folder,        // removed when empty (after what was registered later)
  NumberedPngs,  // a folder of frame-00001.png ... frame-N.png, removed with its files
};

// A registration for the life of one temporary; movable, released by Forget.
class TemporaryEntry {
 public:
  TemporaryEntry() = default;
  ~TemporaryEntry() { Forget(); }
  TemporaryEntry(TemporaryEntry&& other) noexcept : slot_(other.slot_) { other.slot_ = -1; }
  TemporaryEntry& operator=(TemporaryEntry&& other) noexcept;
  TemporaryEntry(const TemporaryEntry&) = delete;
  TemporaryEntry& operator=(const TemporaryEntry&) = delete;

  // False when every slot is taken (the caller then makes no temporary).
  bool Register(const std::string& path, TemporaryKind kind);
  // For NumberedPngs: how many files the folder holds now.
  void SetCount(int count);
  // The temporary is gone or has become the real file: nothing to remove.
  void Forget();

 private:
  int slot_ = -1;
};

// Holds SIGINT, SIGTERM, SIGHUP and SIGPIPE back while a temporary is made
// and registered, so that none is left between the two.
class SignalsHeld {
 public:
  SignalsHeld();
  ~SignalsHeld();
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t saved_;
};

// A program started by qrvtool, stopped (SIGTERM) by the same signals; 0 for none.
void SetChildToStop(pid_t child);

// "frame-00001.png" for 1: at least five digits, no allocation, usable in a
// signal handler. `out` holds 32 characters; returns its length.
int NumberedPngName(int index, char* out);

}  // namespace kestrel::tool
