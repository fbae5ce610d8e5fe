// A main window on the command-driven sound device.
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include <QString>

#include "fake_file_dialogs.h"
#include "player_dlg.h"
#include "recording_message_box.h"
#include "scripted_wave_output.h"
#include "silent_wave_output.h"

namespace kestrel::testing {

// The sample messages of the repository.
inline QString Sample(const char* name) { return QStringLiteral(KESTREL_SAMPLES_DIR "/") + QLatin1String(name); }

// The window's devices: the command-driven sound output, a fast silent one,
// a recording message box and a scripted file dialog.
struct PlayerDevices {
  PlayerServices Services() {
    PlayerServices services;
    services.playback.soundOutput = &output;
    services.playback.silentOutput = &silent;
    services.playback.messageBox = &box;
    services.messageBox = &box;
    services.openDialog = &openDialog;
    services.saveDialog = &saveDialog;
    return services;
  }

  CScriptedWaveOutput output;
  CSilentWaveOutput silent{50};
  CRecordingMessageBox box;
  CFakeOpenDialog openDialog;
  CFakeSaveDialog saveDialog;
};

class PlayerWindowTest : public ::testing::Test, public PlayerDevices {
 protected:
  void SetUp() override {
    window = std::make_unique<CPlayerDlg>(Services());
    window->show();
  }
  void TearDown() override { window.reset(); }

  std::unique_ptr<CPlayerDlg> window;
};

}  // namespace kestrel::testing
