// The platform services a playback panel runs on.
#pragma once

#include <functional>
#include <memory>

#include "audio_decoder.h"
#include "video_decoder_api.h"

class QWidget;

namespace kestrel {

class IMessageBox;
class IVolumeDialogHook;
class IWaveOutput;

struct PlaybackServices {
  IWaveOutput* soundOutput = nullptr;   // the sound device
  IWaveOutput* silentOutput = nullptr;  // keeps time when the device cannot be had
  IMessageBox* messageBox = nullptr;
  // Makes the volume dialog the sound output owns, with the output's window
  // as owner; none, and the output has no dialog.
  std::function<std::unique_ptr<IVolumeDialogHook>(QWidget* owner)> volumeDialog;
  // Makes an audio decoder state; nullptr when memory is exhausted.
  AudioDecoderState* (*createAudioDecoder)() = &CreateAudioDecoder;
  // Sets up the process's video decoder; false when memory is exhausted.
  bool (*initVideoDecoder)() = &InitVideoDecoder;
};

// The real ones: the sound server, a silent real-time output and Qt's
// message box.
class CDefaultPlaybackServices {
 public:
  CDefaultPlaybackServices();
  ~CDefaultPlaybackServices();
  CDefaultPlaybackServices(const CDefaultPlaybackServices&) = delete;
  CDefaultPlaybackServices& operator=(const CDefaultPlaybackServices&) = delete;

  const PlaybackServices& Services() const { return services_; }

 private:
  std::unique_ptr<IWaveOutput> soundOutput_;
  std::unique_ptr<IWaveOutput> silentOutput_;
  std::unique_ptr<IMessageBox> messageBox_;
  PlaybackServices services_;
};

}  // namespace kestrel
