#include "render/WorkerThreads.h"

#include <atomic>
#include <thread>

#include "render/WorkerPool.h"

namespace veyra {

namespace {
std::atomic<int> gThreads{0};      // 0: the processor count
std::atomic<int> gPartSamples{0};  // 0: kMinPartSamples
}  // namespace

int workerThreads() {
  const int set = gThreads.load(std::memory_order_relaxed);
  if (set > 0) return set;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores > 0 ? static_cast<int>(cores) : 1;
}

void setWorkerThreads(int threads) { gThreads.store(threads > 0 ? threads : 0, std::memory_order_relaxed); }

int workerPartSamples() {
  const int set = gPartSamples.load(std::memory_order_relaxed);
  return set > 0 ? set : kMinPartSamples;
}

void setWorkerPartSamples(int samples) {
  gPartSamples.store(samples > 0 ? samples : 0, std::memory_order_relaxed);
}

}  // namespace veyra
