#pragma once

#include <atomic>

namespace kestrel {

class CMessageFile;
class CVideoWindow;
class CWaveDevice;
class CWaveformScope;
struct AudioDecoderState;

// Told by the reader thread, on that thread.
class IReaderSink {
 public:
  virtual ~IReaderSink() = default;
  // The reader has reached the end of the data; it reads nothing more
  // until the file is rewound.
  virtual void OnEndOfData() = 0;
};

// What one Open hands to its reader thread.
struct ReaderParams {
  CWaveformScope* scope = nullptr;        // only for a sound-only message
  CWaveDevice* soundOutput = nullptr;
  AudioDecoderState* audioDecoder = nullptr;
  CVideoWindow* videoWindow = nullptr;    // only when pictures are shown
  CMessageFile* file = nullptr;
  std::atomic<bool>* playing = nullptr;   // the reader reads only while set
  std::atomic<bool>* atEnd = nullptr;     // set by the reader at the end of the data
  IReaderSink* sink = nullptr;
  // For a message with pictures but no sound: its frame rate, and the reader
  // gives every picture its share of silence so that the message keeps time.
  // 0 for every other message.
  int silentPictureRate = 0;
};

}  // namespace kestrel
