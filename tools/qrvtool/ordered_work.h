// Work spread over several threads and handed back in the order it was
// given. Each worker (a picture decoder or encoder: they keep state and
// cannot be shared) is used by one thread only, each job has a slot of its
// own, filled by the caller and read back by it; the threads share only the
// bookkeeping. The first worker is the caller's: while the oldest job is not
// done the caller does waiting jobs itself rather than sleep, so N workers
// keep N threads busy (the caller's among them), never N + 1. With one worker
// there are no threads: each job is done in Submit, as a plain loop would do
// it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kestrel::tool {

// The processors this process may run on: the default number of threads.
unsigned AvailableCores();

template <class Worker, class Job>
class OrderedWork {
 public:
  using Run = std::function<void(Worker&, Job&)>;
  // Readies a worker, on the thread that uses it, before its first job; a
  // worker that cannot be readied does no job, and the others do its share.
  using Start = std::function<bool(Worker&)>;

  // One thread for each worker after the first; `slots` jobs can be in hand
  // at once (at least one per worker, so that none waits idle while the
  // caller reads the oldest). The workers outlive this object.
  OrderedWork(const std::vector<Worker*>& workers, Run run, std::size_t slots, Start start = nullptr)
      : workers_(workers),
        run_(std::move(run)),
        start_(std::move(start)),
        jobs_(slots < workers.size() ? workers.size() : slots),
        done_(jobs_.size(), false),
        starting_(workers.size() > 1 ? static_cast<int>(workers.size()) - 1 : 0) {
    for (std::size_t i = 1; i < workers_.size(); ++i) threads_.emplace_back(&OrderedWork::Serve, this, i);
  }
  ~OrderedWork() {
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
    }
    queued_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }
  OrderedWork(const OrderedWork&) = delete;
  OrderedWork& operator=(const OrderedWork&) = delete;

  // The caller's side, all on one thread.
  bool Full() const { return submitted_ - released_ == jobs_.size(); }
  bool Empty() const { return submitted_ == released_; }
  // The free slot to fill next; only when not Full.
  Job& Next() { return jobs_[submitted_ % jobs_.size()]; }
  // Hands the slot Next() gave to the workers.
  void Submit() {
    const std::size_t slot = submitted_ % jobs_.size();
    if (threads_.empty()) {
      done_[slot] = false;
      ++submitted_;
      if (CallerReady()) {
        ++dispatched_;
        RunOne(slot);
      }
      return;
    }
    bool wake = false;
    {
      std::lock_guard lock(mutex_);
      done_[slot] = false;
      ++submitted_;
      wake = idle_ > 0;
    }
    if (wake) queued_.notify_one();
  }
  // Whether the oldest job in hand is done (it is, when none is in hand).
  bool OldestDone() {
    std::lock_guard lock(mutex_);
    return Empty() || done_[released_ % jobs_.size()];
  }
  // The oldest job in hand, once it is done; only when not Empty. Meanwhile
  // the caller's worker does the jobs no thread has taken yet. Null when no
  // worker could be readied to do it.
  Job* Oldest() {
    const std::size_t slot = released_ % jobs_.size();
    std::unique_lock lock(mutex_);
    while (!done_[slot]) {
      if (dispatched_ < submitted_ && callerStart_ == StartState::Ready) {
        const std::size_t next = dispatched_++ % jobs_.size();
        lock.unlock();
        RunOne(next);
        lock.lock();
        continue;
      }
      if (dispatched_ < submitted_ && callerStart_ == StartState::NotTried) {
        lock.unlock();
        CallerReady();
        lock.lock();
        continue;  // the threads may have finished the oldest meanwhile
      }
      if (callerStart_ == StartState::Failed && starting_ == 0 && serving_ == 0) return nullptr;
      ++callerWaiting_;
      finished_.wait(lock);
      --callerWaiting_;
    }
    return &jobs_[slot];
  }
  // The oldest job's slot is free again.
  void Release() { ++released_; }

 private:
  enum class StartState { NotTried, Ready, Failed };

  // Readies the caller's worker the first time it is wanted, so that the
  // caller goes on with its own work while the threads ready theirs.
  bool CallerReady() {
    if (callerStart_ == StartState::NotTried)
      callerStart_ = !start_ || start_(*workers_[0]) ? StartState::Ready : StartState::Failed;
    return callerStart_ == StartState::Ready;
  }

  // Does the job in `slot` with the caller's worker, without the lock.
  void RunOne(std::size_t slot) {
    run_(*workers_[0], jobs_[slot]);
    std::lock_guard lock(mutex_);
    done_[slot] = true;
  }

  void Serve(std::size_t index) {
    Worker& worker = *workers_[index];
    const bool ready = !start_ || start_(worker);
    std::unique_lock lock(mutex_);
    --starting_;
    if (!ready) {
      // The caller may be waiting on this thread's first job.
      finished_.notify_one();
      return;
    }
    ++serving_;
    for (;;) {
      if (!quit_ && dispatched_ == submitted_) {
        ++idle_;
        queued_.wait(lock, [&] { return quit_ || dispatched_ < submitted_; });
        --idle_;
      }
      if (quit_) return;
      const std::size_t slot = dispatched_++ % jobs_.size();
      lock.unlock();
      run_(worker, jobs_[slot]);
      lock.lock();
      done_[slot] = true;
      if (callerWaiting_ > 0) finished_.notify_one();
    }
  }

  std::vector<Worker*> workers_;
  Run run_;
  Start start_;
  std::vector<Job> jobs_;
  // Counts of jobs since the start; a job's slot is its count modulo the
  // slots. submitted_ and released_ change on the caller's thread only, but
  // the threads read submitted_: it changes under the lock.
  std::size_t submitted_ = 0;
  std::size_t released_ = 0;
  std::size_t dispatched_ = 0;  // under the lock, as is all below
  std::vector<bool> done_;
  int starting_;                                   // threads still readying their worker
  int serving_ = 0;                                // threads whose worker is ready
  int idle_ = 0;                                   // threads waiting for a job
  int callerWaiting_ = 0;                          // the caller waits for a job to be done
  StartState callerStart_ = StartState::NotTried;  // the caller's thread only
  bool quit_ = false;
  std::mutex mutex_;
  std::condition_variable queued_, finished_;
  std::vector<std::thread> threads_;
};

}  // namespace kestrel::tool
