#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <thread>

#include <sys/types.h>

namespace kestrel::stillbox {

// One file copied as the desktop copies it: into a temporary file beside the
// destination, renamed over the destination only once complete, so that the
// destination holds either its old bytes or all of the new ones. The bytes
// move on a thread of their own, so that a slow disk or a source that
// trickles never holds up the window, and the copy can be cancelled at any
// moment. Paths may hold any bytes (file_names.h).
class CFileCopy {
 public:
  enum class Outcome { Copied, Failed, Cancelled };

  CFileCopy() = default;
  // Cancels a copy still running and removes its temporary file.
  ~CFileCopy();
  CFileCopy(const CFileCopy&) = delete;
  CFileCopy& operator=(const CFileCopy&) = delete;

  // Opens source, creates the temporary file and starts copying; false when
  // either cannot be done (no such source, no such folder, no right to
  // write there). finished runs on the copying thread when it stops.
  bool Start(const QString& source, const QString& destination, std::function<void()> finished);
  // Asks the copy to stop; it stops at the latest after one block or a tenth
  // of a second of waiting for the source.
  void Cancel() { cancel_ = true; }
  bool Running() const { return thread_.joinable() && !stopped_; }
  qint64 BytesCopied() const { return copied_; }
  // The source's size; 0 when it has none (a pipe).
  qint64 BytesTotal() const { return total_; }
  // Waits for the copying thread, then puts the copy in place, or removes
  // the temporary file when the copy failed or was cancelled.
  Outcome Finish();

  // The temporary file's name while a copy runs.
  const QByteArray& TemporaryPath() const { return temporary_; }

 private:
  void Run();
  void Discard();

  int in_ = -1;
  int out_ = -1;
  mode_t mode_ = 0;
  QByteArray temporary_;
  QByteArray destination_;
  qint64 total_ = 0;
  std::function<void()> finished_;
  std::atomic<qint64> copied_{0};
  std::atomic<bool> cancel_{false};
  std::atomic<bool> failed_{false};
  std::atomic<bool> stopped_{false};
  std::thread thread_;
};

}  // namespace kestrel::stillbox
