// A playback panel that counts what it is told: buffers heard (on the
// user-interface thread) and pictures put up (on the presentation thread),
// across Stops and Opens.
#pragma once

#include <atomic>

#include "playback_panel.h"

namespace kestrel::testing {

class CCountingPanel : public CPlaybackPanel {
 public:
  using CPlaybackPanel::CPlaybackPanel;
  // The engine's threads call the overrides below: they must have ended
  // before this part of the object goes.
  ~CCountingPanel() override { Close(); }
  void OnBufferDone() override {
    ++heard;
    CPlaybackPanel::OnBufferDone();
  }
  void OnFramePresented() override {
    ++presented;
    CPlaybackPanel::OnFramePresented();
  }
  int heard = 0;
  std::atomic<int> presented{0};
};

}  // namespace kestrel::testing
