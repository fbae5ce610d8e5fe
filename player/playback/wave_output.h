// The wave output that CWaveDevice drives: one mono PCM stream whose written
// buffers are reported back, one notice per buffer, in the order written.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sound_blocks.h"

namespace kestrel {

struct WaveFormat {
  int channels = 1;
  int sampleRate = kSampleRate;
  int bytesPerSample = kBytesPerSample;  // signed 16-bit little-endian
  int bufferBytes = kSoundBlockBytes;    // one buffer: what one notice stands for
};

// The buffers in a write of `bytes`: whole buffers of the format's size, the
// last taking any rest; never fewer than one.
inline std::size_t BuffersIn(const WaveFormat& format, std::size_t bytes) {
  const std::size_t whole = format.bufferBytes > 0 ? bytes / static_cast<std::size_t>(format.bufferBytes) : 0;
  return whole == 0 ? 1 : whole;
}
// How many bytes buffer `i` of such a write holds.
inline std::size_t BufferBytesAt(const WaveFormat& format, std::size_t bytes, std::size_t i) {
  const std::size_t count = BuffersIn(format, bytes);
  return i + 1 < count ? static_cast<std::size_t>(format.bufferBytes)
                       : bytes - (count - 1) * static_cast<std::size_t>(format.bufferBytes);
}

// Receives the completion notices. Called from any thread (the backend's own
// thread, or the caller of Reset); an implementation only records the notice
// and hands it on to the thread that owns it. It must not call back into the
// output.
class IWaveOutputListener {
 public:
  virtual ~IWaveOutputListener() = default;
  // One buffer written with `tag` has finished: played out, or given back
  // by Reset or Close.
  virtual void OnBufferFinished(std::uint32_t tag) = 0;
  // The opened device has gone: the server went away, refused a write or
  // did not answer in time. Buffers that had not finished are not reported
  // (they were not heard); nothing written from now on is heard. The owner
  // closes the output. Told at most once per Open.
  virtual void OnDeviceLost() = 0;
};

class IWaveOutput {
 public:
  virtual ~IWaveOutput() = default;

  // Opens the default output for `format`, paused: nothing written is heard
  // until Restart. Returns false when no device can be had; the output then
  // stays closed. `listener` receives the notices until Close returns.
  virtual bool Open(const WaveFormat& format, IWaveOutputListener* listener) = 0;

  // Appends buffers to the stream: `bytes` holds one or more whole buffers
  // of the format's size, laid end to end, and each is reported on its own.
  // Writing several at once spares the device a wake-up per buffer. `data`
  // stays valid and unchanged until the last of them is reported; `tag`
  // comes back with each. Never blocks for long and never allocates on the
  // caller's side. Only while open.
  virtual void Write(const std::uint8_t* data, std::size_t bytes, std::uint32_t tag) = 0;

  // None of the operations below waits for the device for longer than a
  // bounded time; a device that does not answer within it counts as lost.

  // Halts the stream where it is; written buffers stay pending.
  virtual void Pause() = 0;
  // Lets a paused stream play.
  virtual void Restart() = 0;
  // Drops everything pending: every written buffer that has not finished is
  // reported finished before Reset returns, and the stream is left paused.
  virtual void Reset() = 0;
  // Resets and closes; no notice follows Close. Harmless when closed.
  virtual void Close() = 0;
};

}  // namespace kestrel
