// Helper threads for the host's own large pixel copies (the channel ports'
// reads and writes of a band): the caller's thread works too, and a copy
// returns only when every part of it is done, so the plug-in sees each
// channel-port call as before, only sooner.
#ifndef VEYRA_APP_COPYTHREADS_H
#define VEYRA_APP_COPYTHREADS_H

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace veyra::app {

class CopyThreads {
 public:
  // threads: how many threads work on a copy, the caller's included (at
  // least 1; 1 starts no helper).
  explicit CopyThreads(int threads);
  ~CopyThreads();  // stops and joins the helpers
  CopyThreads(const CopyThreads&) = delete;
  CopyThreads& operator=(const CopyThreads&) = delete;

  int threads() const { return static_cast<int>(helpers_.size()) + 1; }

  // Runs body(part) once for every part in [0, parts), on the caller's
  // thread and the helpers, and returns when all have returned. body must
  // not throw; parts must be independent of each other.
  void run(int parts, const std::function<void(int)>& body);

  // Runs body(top, bottom) over [0, rows) cut into as many bands as there
  // are threads, at once when rows x rowSamples is large enough to pay for
  // the hand-over, otherwise on the caller's thread alone.
  void forRows(int32_t rows, int64_t rowSamples, const std::function<void(int32_t, int32_t)>& body);

 private:
  void helperLoop();
  // Takes and runs parts of the current copy until none is left.
  void work(std::unique_lock<std::mutex>& lock);

  std::mutex mutex_;
  std::condition_variable wake_;  // a new copy, or stop
  std::condition_variable done_;  // the last part of a copy finished
  const std::function<void(int)>* body_ = nullptr;
  int parts_ = 0;
  int next_ = 0;
  int pending_ = 0;
  uint64_t generation_ = 0;
  bool stop_ = false;
  std::vector<std::thread> helpers_;
};

}  // namespace veyra::app

#endif
