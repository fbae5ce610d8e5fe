// Work spread over several threads and handed back in the order it was
// given. Each thread has a worker of its own (a picture decoder or encoder:
// they keep state and cannot be shared), each job a slot of its own, filled
// by the caller and read back by it; the threads share only the bookkeeping.
// With one worker there are no threads: each job is done in Submit, on the
// caller's thread, exactly as a plain loop would do it.
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

  // One thread per worker when there are several; `slots` jobs can be in
  // hand at once (at least one per worker, so that none waits idle while the
  // caller reads the oldest). The workers outlive this object.
  OrderedWork(const std::vector<Worker*>& workers, Run run, std::size_t slots)
      : workers_(workers),
        run_(std::move(run)),
        jobs_(slots < workers.size() ? workers.size() : slots),
        done_(jobs_.size(), false) {
    if (workers_.size() > 1)
      for (std::size_t i = 0; i < workers_.size(); ++i) threads_.emplace_back(&OrderedWork::Serve, this, i);
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
      run_(*workers_[0], jobs_[slot]);
      done_[slot] = true;
      ++submitted_;
      return;
    }
    {
      std::lock_guard lock(mutex_);
      done_[slot] = false;
      ++submitted_;
    }
    queued_.notify_one();
  }
  // Whether the oldest job in hand is done (it is, when none is in hand).
  bool OldestDone() {
    std::lock_guard lock(mutex_);
    return Empty() || done_[released_ % jobs_.size()];
  }
  // The oldest job in hand, once it is done; only when not Empty.
  Job& Oldest() {
    const std::size_t slot = released_ % jobs_.size();
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return bool(done_[slot]); });
    return jobs_[slot];
  }
  // The oldest job's slot is free again.
  void Release() { ++released_; }

 private:
  void Serve(std::size_t index) {
    Worker& worker = *workers_[index];
    std::unique_lock lock(mutex_);
    for (;;) {
      queued_.wait(lock, [&] { return quit_ || dispatched_ < submitted_; });
      if (quit_) return;
      const std::size_t slot = dispatched_++ % jobs_.size();
      lock.unlock();
      run_(worker, jobs_[slot]);
      lock.lock();
      done_[slot] = true;
      finished_.notify_all();
    }
  }

  std::vector<Worker*> workers_;
  Run run_;
  std::vector<Job> jobs_;
  // Counts of jobs since the start; a job's slot is its count modulo the
  // slots. submitted_ and released_ change on the caller's thread only, but
  // the threads read submitted_: it changes under the lock.
  std::size_t submitted_ = 0;
  std::size_t released_ = 0;
  std::size_t dispatched_ = 0;  // under the lock
  std::vector<bool> done_;      // under the lock
  bool quit_ = false;
  std::mutex mutex_;
  std::condition_variable queued_, finished_;
  std::vector<std::thread> threads_;
};

}  // namespace kestrel::tool
