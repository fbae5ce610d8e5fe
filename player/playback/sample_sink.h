#pragma once

#include <cstdint>

namespace kestrel {

// Where the reader thread hands the sound of a sound-only message for
// display: the first sample of every audio frame it queues, in queue order.
class ISampleSink {
 public:
  virtual ~ISampleSink() = default;
  // Reader thread, inside a record: returns promptly, dropping the sample
  // rather than waiting for room.
  virtual void OnSample(std::int16_t sample) = 0;
};

}  // namespace kestrel
