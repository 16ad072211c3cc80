// Worker threads for the pixel work of one render call. The pool starts its
// threads on the first run that needs them and joins them when it is
// destroyed, so no thread outlives the call that made the pool. Only pixel
// loops run on the workers; everything that talks to the host stays on the
// thread that calls run().
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace veyra {

// Parts of fewer samples than this cost more to hand out than they save: the
// dialog's preview (a few hundred thousand samples per stage) took 1.9 to
// 2.3 ms on two threads with parts of 4096 samples, against 1.4 to 1.6 ms
// on one, as waking a worker costs about as much as such a stage.
constexpr int32_t kMinPartSamples = 1 << 18;

class WorkerPool {
 public:
  // threads counts the calling thread: 1 runs every task on the caller.
  // Values below 1 count as 1. Stages cut their work into parts of at least
  // minPartSamples samples (values below 1 count as 1).
  explicit WorkerPool(int threads, int32_t minPartSamples = kMinPartSamples);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int threads() const { return threads_; }
  int32_t minPartSamples() const { return minPartSamples_; }

  // Runs task(i) once for every i in [0, count), spread over the workers and
  // the calling thread, and returns when all have ended. If tasks throw, the
  // first exception is rethrown here once every task has ended.
  void run(int count, const std::function<void(int)>& task);

  // How many runs of any pool in this process were shared out among more
  // than one thread: tests that compare thread counts check with it that
  // their renders were shared out at all.
  static int64_t sharedRuns();

 private:
  struct State;
  void start();
  static void work(State& state, int self);

  int threads_;
  int32_t minPartSamples_;
  std::unique_ptr<State> state_;
};

// The range of the part-th of `parts` near-equal parts of [0, total), each
// part but the last a multiple of `step` long (step >= 1).
struct Span {
  int32_t begin;
  int32_t end;
};
Span partOf(int32_t total, int32_t parts, int32_t part, int32_t step = 1);

// Runs body(begin, end) over parts of [0, total) on the pool: as many parts
// as keep each at least minimum long (and a multiple of step, but for the
// last), at most a few per thread. Without a pool, or with one part, body
// runs once over the whole range on the calling thread.
void forEachSpan(WorkerPool* pool, int32_t total, int32_t minimum, int32_t step,
                 const std::function<void(int32_t, int32_t)>& body);

// forEachSpan over the lines [0, lines) of a stage whose lines are `samples`
// samples long, in parts of at least the pool's minPartSamples samples.
void forEachLine(WorkerPool* pool, int32_t lines, int32_t samples,
                 const std::function<void(int32_t, int32_t)>& body);

}  // namespace veyra
