#include "app/CopyThreads.h"

#include <algorithm>

namespace veyra::app {

namespace {
// Below this many samples one thread copies faster than several can be
// woken and joined.
constexpr int64_t kMinParallelSamples = int64_t{1} << 18;
}  // namespace

CopyThreads::CopyThreads(int threads) {
  for (int i = 1; i < threads; ++i) helpers_.emplace_back([this] { helperLoop(); });
}

CopyThreads::~CopyThreads() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : helpers_) t.join();
}

void CopyThreads::work(std::unique_lock<std::mutex>& lock) {
  while (next_ < parts_) {
    const int part = next_++;
    const std::function<void(int)>& body = *body_;
    lock.unlock();
    body(part);
    lock.lock();
    if (--pending_ == 0) done_.notify_all();
  }
}

void CopyThreads::helperLoop() {
  std::unique_lock<std::mutex> lock(mutex_);
  uint64_t seen = generation_;
  for (;;) {
    wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
    if (stop_) return;
    seen = generation_;
    work(lock);
  }
}

void CopyThreads::run(int parts, const std::function<void(int)>& body) {
  if (parts <= 0) return;
  if (helpers_.empty() || parts == 1) {
    for (int p = 0; p < parts; ++p) body(p);
    return;
  }
  std::unique_lock<std::mutex> lock(mutex_);
  body_ = &body;
  parts_ = parts;
  next_ = 0;
  pending_ = parts;
  ++generation_;
  wake_.notify_all();
  work(lock);
  done_.wait(lock, [&] { return pending_ == 0; });
  body_ = nullptr;
  parts_ = 0;
}

void CopyThreads::forRows(int32_t rows, int64_t rowSamples, const std::function<void(int32_t, int32_t)>& body) {
  if (rows <= 0) return;
  const int bands = static_cast<int>(std::min<int64_t>(threads(), rows));
  if (bands == 1 || int64_t{rows} * rowSamples < kMinParallelSamples) {
    body(0, rows);
    return;
  }
  run(bands, [&](int b) {
    body(static_cast<int32_t>(int64_t{rows} * b / bands), static_cast<int32_t>(int64_t{rows} * (b + 1) / bands));
  });
}

}  // namespace veyra::app
