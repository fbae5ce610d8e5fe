#pragma once

namespace kestrel {

class IVideoWindowSink {
 public:
  virtual ~IVideoWindowSink() = default;
  // On the presentation thread, after each picture has been taken from the
  // queue and put up; it must not block and must not touch widgets.
  virtual void OnFramePresented() = 0;
};

}  // namespace kestrel
