// The platform services a playback panel runs on.
#pragma once

#include <memory>

namespace kestrel {

class IMessageBox;
class IPeriodicClock;
class IWaveOutput;

struct PlaybackServices {
  IWaveOutput* soundOutput = nullptr;   // the sound device
  IWaveOutput* silentOutput = nullptr;  // keeps time when the device cannot be had
  IPeriodicClock* clock = nullptr;      // the presentation clock
  IMessageBox* messageBox = nullptr;
};

// The real ones: the sound server, a silent real-time output, a timer thread
// and Qt's message box.
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
  std::unique_ptr<IPeriodicClock> clock_;
  std::unique_ptr<IMessageBox> messageBox_;
  PlaybackServices services_;
};

}  // namespace kestrel
