// Keeps the player to one running copy: a newly started player closes the
// one already running, waits for it and takes its place.
#pragma once

#include <chrono>
#include <functional>

#include <QString>

namespace kestrel {

class IInstanceChannel;

class CSingleInstance {
 public:
  static constexpr char kName[] = "Talvio Message Player SingleInstance Mutex";
  static constexpr std::chrono::milliseconds kSettleTime{250};
  // How long a newer copy keeps trying to take over the name from the copy
  // it closed, which gives it up only as its process ends.
  static constexpr std::chrono::milliseconds kTakeOverTime{3000};

  using Sleep = std::function<void(std::chrono::milliseconds)>;

  // `sleep` waits; tests pass one that only records.
  CSingleInstance(IInstanceChannel& channel, Sleep sleep);
  ~CSingleInstance();
  CSingleInstance(const CSingleInstance&) = delete;
  CSingleInstance& operator=(const CSingleInstance&) = delete;

  // Closes a running copy, if there is one: it is sent WM_CLOSE and has
  // handled it when this returns, 250 ms later. This copy then holds the
  // name and serves later copies in its turn. True when a copy was closed.
  bool CloseRunningCopy();

  // What a running copy does with a later copy's WM_CLOSE: the first
  // top-level window whose title contains the player's title is closed.
  static void CloseWindowTitled(const QString& title);

  const QString& Title() const { return title_; }
  bool HoldsName() const { return holdsName_; }

 private:
  void Serve();

  IInstanceChannel& channel_;
  Sleep sleep_;
  QString title_;
  bool holdsName_ = false;
};

}  // namespace kestrel
