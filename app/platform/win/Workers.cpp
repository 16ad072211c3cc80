// Jobs one after another in this process: a module instance here is shared,
// so jobs cannot run at once without processes of their own.
#include "app/platform/Workers.h"

#include <windows.h>

#include <cstdio>
#include <exception>

namespace veyra::app::platform {

int processorCount() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors > 0 ? static_cast<int>(info.dwNumberOfProcessors) : 1;
}

void runWorkers(size_t count, int, const WorkerJob& job, const WorkerEvents& events) {
  for (size_t i = 0; i < count; ++i) {
    if (events.stopRequested && events.stopRequested()) return;
    int status = 2;
    try {
      status = job(i, [&](int32_t done, int32_t total) { events.progress(i, done, total); });
    } catch (const std::exception& e) {
      events.message(i, std::string("veyra: ") + e.what());
    }
    events.finished(i, status);
  }
}

}  // namespace veyra::app::platform
