#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <thread>

#include <sys/types.h>

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
  void Cancel() { m_cancel = true; }
  bool Running() const { return m_thread.joinable() && !m_stopped; }
  qint64 BytesCopied() const { return m_copied; }
  // The source's size; 0 when it has none (a pipe).
  qint64 BytesTotal() const { return m_total; }
  // Waits for the copying thread, then puts the copy in place, or removes
  // the temporary file when the copy failed or was cancelled.
  Outcome Finish();

  // The temporary file's name while a copy runs.
  const QByteArray& TemporaryPath() const { return m_temporary; }

 private:
  void Run();
  void Discard();

  int m_in = -1;
  int m_out = -1;
  mode_t m_mode = 0;
  QByteArray m_temporary;
  QByteArray m_destination;
  qint64 m_total = 0;
  std::function<void()> m_finished;
  std::atomic<qint64> m_copied{0};
  std::atomic<bool> m_cancel{false};
  std::atomic<bool> m_failed{false};
  std::atomic<bool> m_stopped{false};
  std::thread m_thread;
};
