#include "render/WorkerThreads.h"

#include <atomic>
#include <thread>

namespace veyra {

namespace {
std::atomic<int> gThreads{0};  // 0: the processor count
}  // namespace

int workerThreads() {
  const int set = gThreads.load(std::memory_order_relaxed);
  if (set > 0) return set;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores > 0 ? static_cast<int>(cores) : 1;
}

void setWorkerThreads(int threads) { gThreads.store(threads > 0 ? threads : 0, std::memory_order_relaxed); }

}  // namespace veyra
