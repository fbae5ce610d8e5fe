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
};

}  // namespace kestrel
