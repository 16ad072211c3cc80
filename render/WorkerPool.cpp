#include "render/WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace veyra {

// What the workers share with the calling thread. A run publishes the task
// and its count under the mutex and bumps the generation. Thread t (the
// caller is 0) owns the t-th of `threads` near-equal shares of the task
// numbers, consecutive numbers each, and takes its own first, in order, so
// that a stage cut into the same parts as the stage before gives each thread
// the parts it worked on before, whose pixels are still in its core's cache;
// a thread that has run out of its own takes what is left of the others'.
// Each share is claimed through its own counter, so every number is taken
// once. A worker reports itself idle when none is left.
struct WorkerPool::State {
  explicit State(int threads) : claimed(static_cast<size_t>(threads)), threads(threads) {}

  std::mutex mutex;
  std::condition_variable wake;  // a new run, or stop
  std::condition_variable idle;  // the last worker finished its part of a run
  std::vector<std::thread> workers;
  const std::function<void(int)>* task = nullptr;
  int count = 0;
  std::vector<std::atomic<int>> claimed;  // tasks taken from each thread's share
  const int threads;
  int busy = 0;  // workers still in the current run
  uint64_t generation = 0;
  bool stop = false;
  std::exception_ptr error;

  // The first task number of thread t's share.
  int first(int t) const { return static_cast<int>(int64_t{count} * t / threads); }

  // The next unclaimed task of thread t's share, or -1.
  int claim(int t) {
    const int begin = first(t), size = first(t + 1) - begin;
    if (claimed[static_cast<size_t>(t)].load(std::memory_order_relaxed) >= size) return -1;
    const int k = claimed[static_cast<size_t>(t)].fetch_add(1);
    return k < size ? begin + k : -1;
  }

  void runTask(int i) {
    try {
      (*task)(i);
    } catch (...) {
      std::lock_guard<std::mutex> lock(mutex);
      if (!error) error = std::current_exception();
    }
  }

  // Runs thread self's tasks, then every task left in the other shares;
  // keeps the first exception.
  void drain(int self) {
    for (int i = claim(self); i >= 0; i = claim(self)) runTask(i);
    for (int d = 1; d < threads; ++d) {
      const int other = (self + d) % threads;
      for (int i = claim(other); i >= 0; i = claim(other)) runTask(i);
    }
  }
};

namespace {
std::atomic<int64_t> gSharedRuns{0};
}  // namespace

int64_t WorkerPool::sharedRuns() { return gSharedRuns.load(std::memory_order_relaxed); }

WorkerPool::WorkerPool(int threads, int32_t minPartSamples)
    : threads_(std::max(threads, 1)), minPartSamples_(std::max<int32_t>(minPartSamples, 1)) {}

WorkerPool::~WorkerPool() {
  if (!state_) return;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->stop = true;
  }
  state_->wake.notify_all();
  for (std::thread& t : state_->workers) t.join();
}

void WorkerPool::start() {
  state_ = std::make_unique<State>(threads_);
  state_->workers.reserve(static_cast<size_t>(threads_ - 1));
  try {
    for (int i = 1; i < threads_; ++i) state_->workers.emplace_back(&WorkerPool::work, std::ref(*state_), i);
  } catch (...) {
    // Fewer threads than asked (the system refused one): run with those;
    // the tasks of the threads that did not start are taken by the others.
    threads_ = static_cast<int>(state_->workers.size()) + 1;
  }
}

void WorkerPool::work(State& s, int self) {
  uint64_t seen = 0;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(s.mutex);
      s.wake.wait(lock, [&] { return s.stop || s.generation != seen; });
      if (s.stop) return;
      seen = s.generation;
    }
    s.drain(self);
    std::lock_guard<std::mutex> lock(s.mutex);
    if (--s.busy == 0) s.idle.notify_one();
  }
}

void WorkerPool::run(int count, const std::function<void(int)>& task) {
  if (count <= 0) return;
  if (threads_ > 1 && count > 1 && !state_) start();
  if (threads_ == 1 || count == 1 || state_->workers.empty()) {
    std::exception_ptr error;
    for (int i = 0; i < count; ++i) {
      try {
        task(i);
      } catch (...) {
        if (!error) error = std::current_exception();
      }
    }
    if (error) std::rethrow_exception(error);
    return;
  }
  gSharedRuns.fetch_add(1, std::memory_order_relaxed);
  State& s = *state_;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    s.task = &task;
    s.count = count;
    for (std::atomic<int>& c : s.claimed) c.store(0, std::memory_order_relaxed);
    s.busy = static_cast<int>(s.workers.size());
    s.error = nullptr;
    ++s.generation;
  }
  s.wake.notify_all();
  s.drain(0);
  std::exception_ptr error;
  {
    std::unique_lock<std::mutex> lock(s.mutex);
    s.idle.wait(lock, [&] { return s.busy == 0; });
    s.task = nullptr;
    error = s.error;
    s.error = nullptr;
  }
  if (error) std::rethrow_exception(error);
}

Span partOf(int32_t total, int32_t parts, int32_t part, int32_t step) {
  // Whole steps are shared out; the remainder of total goes to the last part.
  const int64_t steps = total / step;
  const int64_t begin = steps * part / parts * step;
  const int64_t end = part + 1 == parts ? total : steps * (part + 1) / parts * step;
  return {static_cast<int32_t>(begin), static_cast<int32_t>(end)};
}

void forEachSpan(WorkerPool* pool, int32_t total, int32_t minimum, int32_t step,
                 const std::function<void(int32_t, int32_t)>& body) {
  if (total <= 0) return;
  step = std::max(step, 1);
  // A few parts per thread, so that a thread slowed by other work on the
  // machine holds up the rest by a small part only.
  constexpr int kPartsPerThread = 4;
  int32_t parts = 1;
  if (pool != nullptr && pool->threads() > 1) {
    const int64_t byLength = total / std::max<int64_t>(std::max(minimum, step), 1);
    parts = static_cast<int32_t>(std::min<int64_t>(byLength, int64_t{pool->threads()} * kPartsPerThread));
    parts = std::max(parts, 1);
  }
  if (parts == 1) {
    body(0, total);
    return;
  }
  pool->run(parts, [&](int i) {
    const Span s = partOf(total, parts, i, step);
    if (s.begin < s.end) body(s.begin, s.end);
  });
}

void forEachLine(WorkerPool* pool, int32_t lines, int32_t samples,
                 const std::function<void(int32_t, int32_t)>& body) {
  const int32_t minimum = pool != nullptr ? pool->minPartSamples() : kMinPartSamples;
  forEachSpan(pool, lines, std::max<int32_t>(1, minimum / std::max<int32_t>(samples, 1)), 1, body);
}

}  // namespace veyra
