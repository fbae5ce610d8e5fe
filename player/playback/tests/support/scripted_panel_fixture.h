// A playback panel in a bare window on the command-driven sound device,
// for tests that decide exactly when each buffer has been heard.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "counting_panel.h"
#include "panel_host.h"
#include "pump.h"
#include "recording_message_box.h"
#include "scripted_wave_output.h"
#include "silent_wave_output.h"
#include "wave_device.h"

namespace kestrel::testing {

class CScriptedPanelFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    services.soundOutput = &output;
    services.silentOutput = &silent;
    services.messageBox = &box;
    panel = std::make_unique<CCountingPanel>(&host, services);
  }
  void TearDown() override { panel.reset(); }

  // Waits until the reader has queued `n` buffers (or more).
  bool QueuedAtLeast(int n) {
    return PumpUntil([&] { return output.Pending() >= n; });
  }
  // Finishes `n` buffers and hands their notices to the panel.
  void Hear(int n) {
    ASSERT_TRUE(output.FinishNext(n));
    panel->SoundOutput().DeliverNotices();
  }

  CScriptedWaveOutput output;
  CSilentWaveOutput silent{50};
  CRecordingMessageBox box;
  PlaybackServices services;
  CPanelHost host;
  std::unique_ptr<CCountingPanel> panel;
};

}  // namespace kestrel::testing
