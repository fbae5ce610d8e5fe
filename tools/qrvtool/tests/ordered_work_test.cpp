#include "ordered_work.h"

#include <gtest/gtest.h>

#include <chrono>
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
    results.push_back(work.Oldest());
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

TEST(OrderedWork, SeveralThreadsHandResultsBackInTheOrderGivenEachDoneOnce) {
  std::vector<Counter> counters(4);
  std::vector<Counter*> workers;
  for (Counter& counter : counters) workers.push_back(&counter);
  OrderedWork<Counter, Job> work(workers, Square, 8);
  const std::vector<Job> results = RunAll(work, 300);
  ASSERT_EQ(results.size(), 300u);
  std::set<std::thread::id> threads;
  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(results[i].input, i);
    EXPECT_EQ(results[i].output, i * i);
    threads.insert(results[i].thread);
  }
  int total = 0;
  for (const Counter& counter : counters) total += counter.jobs;
  EXPECT_EQ(total, 300);
  EXPECT_EQ(threads.count(std::this_thread::get_id()), 0u) << "the caller did work of the threads";
  EXPECT_GT(threads.size(), 1u) << "one thread did all the work";
}

TEST(OrderedWork, OneWorkerDoesEachJobAtOnceOnTheCallersThread) {
  Counter counter;
  OrderedWork<Counter, Job> work({&counter}, Square, 1);
  for (int i = 0; i < 5; ++i) {
    ASSERT_FALSE(work.Full());
    work.Next().input = i + 2;
    work.Submit();
    ASSERT_TRUE(work.OldestDone());
    const Job& job = work.Oldest();
    EXPECT_EQ(job.output, (i + 2) * (i + 2));
    EXPECT_EQ(job.thread, std::this_thread::get_id());
    work.Release();
    EXPECT_TRUE(work.Empty());
  }
  EXPECT_EQ(counter.jobs, 5);
}

}  // namespace
}  // namespace kestrel::tool
