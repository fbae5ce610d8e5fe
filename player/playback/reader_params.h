#pragma once

#include <atomic>

namespace kestrel {

class CMessageFile;
class CVideoWindow;
class CWaveDevice;
class ISampleSink;
struct AudioDecoderState;

// Told by the reader thread, on that thread.
class IReaderSink {
 public:
  virtual ~IReaderSink() = default;
  // The reader has reached the end of the data; it reads nothing more
  // until the file is rewound.
  virtual void OnEndOfData() = 0;
  // The message has been indexed (CReaderThread::Index), before its first
  // record is read.
  virtual void OnIndexed() = 0;
};

// What one Open hands to its reader thread.
struct ReaderParams {
  ISampleSink* samples = nullptr;  // only for a sound-only message
  CWaveDevice* soundOutput = nullptr;
  AudioDecoderState* audioDecoder = nullptr;
  // Only when pictures are shown; the reader keeps its queue below capacity.
  CVideoWindow* videoWindow = nullptr;
  int frameRate = 0;  // pictures per second, with a video window
  CMessageFile* file = nullptr;
  int fileDescriptor = -1;               // the same file, for the index
  std::atomic<bool>* playing = nullptr;  // the reader reads only while set
  std::atomic<bool>* atEnd = nullptr;    // set by the reader at the end of the data
  IReaderSink* sink = nullptr;
};

}  // namespace kestrel
