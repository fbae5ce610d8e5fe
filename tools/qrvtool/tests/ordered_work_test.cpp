#include "ordered_work.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <latch>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace kestrel::tool {
namespace {

struct Counter {
  int jobs = 0;  // only ever touched by the worker's own thread
};

struct Job {
  int input = 0;
  int output = 0;
  Counter* doneBy = nullptr;
  std::thread::id thread;
};

// Squares, slower for some inputs than others, so that later jobs finish
// before earlier ones.
void Square(Counter& counter, Job& job) {
  if (job.input % 3 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  job.output = job.input * job.input;
  job.doneBy = &counter;
  job.thread = std::this_thread::get_id();
  ++counter.jobs;
}

// Runs `count` jobs through `work` the way the commands do, keeping the
// results in the order they come back.
std::vector<Job> RunAll(OrderedWork<Counter, Job>& work, int count) {
  std::vector<Job> results;
  auto take = [&] {
    const Job* job = work.Oldest();
    EXPECT_NE(job, nullptr);
    if (job) results.push_back(*job);
    work.Release();
  };
  for (int i = 0; i < count; ++i) {
    if (work.Full()) take();
    work.Next().input = i;
    work.Submit();
    while (!work.Empty() && work.OldestDone()) take();
  }
  while (!work.Empty()) take();
  return results;
}

// Each job done once, by one worker on one thread, and handed back in order.
void ExpectEachDoneOnceInOrder(const std::vector<Job>& results, const std::vector<Counter>& counters, int count) {
  ASSERT_EQ(results.size(), static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(results[i].input, i);
    EXPECT_EQ(results[i].output, i * i);
  }
  int total = 0;
  for (const Counter& counter : counters) total += counter.jobs;
  EXPECT_EQ(total, count);
}

TEST(OrderedWork, SeveralThreadsHandResultsBackInTheOrderGivenEachDoneOnce) {
  std::vector<Counter> counters(4);
  std::vector<Counter*> workers;
  for (Counter& counter : counters) workers.push_back(&counter);
  OrderedWork<Counter, Job> work(workers, Square, 8);
  const std::vector<Job> results = RunAll(work, 300);
  ExpectEachDoneOnceInOrder(results, counters, 300);
  // A worker belongs to one thread: the first to the caller's, each other
  // to a thread of its own.
  std::map<const Counter*, std::set<std::thread::id>> threadsOf;
  for (const Job& job : results) threadsOf[job.doneBy].insert(job.thread);
  for (const auto& [worker, threads] : threadsOf) {
    EXPECT_EQ(threads.size(), 1u);
    EXPECT_EQ(worker == &counters[0], threads.count(std::this_thread::get_id()) == 1);
  }
  EXPECT_GT(threadsOf.size(), 1u) << "one worker did all the work";
}

TEST(OrderedWork, TheCallerDoesWaitingJobsRatherThanSleep) {
  // The thread's worker takes a long time over its jobs: the caller, asked
  // for the oldest, does the jobs no thread has taken with its own worker.
  std::vector<Counter> counters(2);
  const std::thread::id caller = std::this_thread::get_id();
  auto slowThread = [caller](Counter& counter, Job& job) {
    if (std::this_thread::get_id() != caller) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Square(counter, job);
  };
  OrderedWork<Counter, Job> work({&counters[0], &counters[1]}, slowThread, 6);
  const std::vector<Job> results = RunAll(work, 30);
  ExpectEachDoneOnceInOrder(results, counters, 30);
  EXPECT_GT(counters[0].jobs, counters[1].jobs);
}

TEST(OrderedWork, WorkersThatCannotStartLeaveTheirShareToTheOthers) {
  std::vector<Counter> counters(3);
  std::vector<Counter*> workers;
  for (Counter& counter : counters) workers.push_back(&counter);
  std::mutex startedMutex;
  std::set<std::thread::id> startedOn;
  // Only the second worker can be readied, and each is readied on the thread
  // that uses it.
  auto onlySecond = [&](Counter& counter) {
    std::lock_guard lock(startedMutex);
    startedOn.insert(std::this_thread::get_id());
    return &counter == &counters[1];
  };
  {
    OrderedWork<Counter, Job> work(workers, Square, 4, onlySecond);
    const std::vector<Job> results = RunAll(work, 40);
    ExpectEachDoneOnceInOrder(results, counters, 40);
    EXPECT_EQ(counters[1].jobs, 40);
  }
  EXPECT_EQ(startedOn.size(), 3u);

  // The caller's worker alone can be readied: it does every job.
  std::vector<Counter> second(3);
  std::vector<Counter*> secondWorkers = {&second[0], &second[1], &second[2]};
  OrderedWork<Counter, Job> callerOnly(secondWorkers, Square, 4, [&](Counter& c) { return &c == &second[0]; });
  ExpectEachDoneOnceInOrder(RunAll(callerOnly, 20), second, 20);
  EXPECT_EQ(second[0].jobs, 20);
}

TEST(OrderedWork, JobsFinishedWhileTheCallerReadiesItsWorkerAreNotWaitedFor) {
  // The thread's worker is readied only once the caller starts readying its
  // own, which takes long enough for the thread to do every job meanwhile:
  // no job is left to be done, so none will wake the caller.
  std::vector<Counter> counters(2);
  std::latch callerStarting(1);
  auto start = [&](Counter& counter) {
    if (&counter == &counters[1]) {
      callerStarting.wait();
    } else {
      callerStarting.count_down();
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
  };
  auto done = std::async(std::launch::async, [&] {
    OrderedWork<Counter, Job> work({&counters[0], &counters[1]}, Square, 2, start);
    for (int i = 1; i <= 2; ++i) {
      work.Next().input = i;
      work.Submit();
    }
    const Job* first = work.Oldest();
    return first ? first->output : -1;
  });
  if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
    ADD_FAILURE() << "the caller still waits for a job done long ago";
    std::abort();  // the waiting thread cannot be called off
  }
  EXPECT_EQ(done.get(), 1);
}

TEST(OrderedWork, NoWorkerReadiedGivesNoJobBackInsteadOfWaiting) {
  for (int workerCount : {1, 3}) {
    std::vector<Counter> counters(workerCount);
    std::vector<Counter*> workers;
    for (Counter& counter : counters) workers.push_back(&counter);
    OrderedWork<Counter, Job> work(workers, Square, 4, [](Counter&) { return false; });
    work.Next().input = 3;
    work.Submit();
    EXPECT_EQ(work.Oldest(), nullptr) << workerCount << " workers";
    for (const Counter& counter : counters) EXPECT_EQ(counter.jobs, 0);
  }
}

TEST(OrderedWork, OneWorkerDoesEachJobAtOnceOnTheCallersThread) {
  Counter counter;
  OrderedWork<Counter, Job> work({&counter}, Square, 1);
  for (int i = 0; i < 5; ++i) {
    ASSERT_FALSE(work.Full());
    work.Next().input = i + 2;
    work.Submit();
    ASSERT_TRUE(work.OldestDone());
    const Job* job = work.Oldest();
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->output, (i + 2) * (i + 2));
    EXPECT_EQ(job->thread, std::this_thread::get_id());
    work.Release();
    EXPECT_TRUE(work.Empty());
  }
  EXPECT_EQ(counter.jobs, 5);
}

}  // namespace
}  // namespace kestrel::tool
