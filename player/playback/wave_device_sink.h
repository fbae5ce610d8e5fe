#pragma once

namespace kestrel {

// The owner of a CWaveDevice learns here of every finished buffer.
class IWaveDeviceSink {
 public:
  virtual ~IWaveDeviceSink() = default;
  // User-interface thread, once per buffer queued on the current device
  // that has been heard, after the device's own bookkeeping; the device's
  // QueuedCount already counts it out. May call any operation of the device.
  virtual void OnBufferDone() = 0;
  // User-interface thread: the sound device has gone while open. The device
  // already goes on from what was heard on its silent fallback, so that time,
  // pictures and the end still come; the next Resume tries the sound device
  // again.
  virtual void OnDeviceLost() = 0;
};

}  // namespace kestrel
