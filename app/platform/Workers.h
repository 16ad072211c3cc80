// Running independent jobs at once, each in a process of its own: a module
// loaded by the host is one host session per process, so the jobs share
// nothing. A job reports progress and writes its messages to stderr; both
// reach the caller as they come.
#ifndef VEYRA_APP_PLATFORM_WORKERS_H
#define VEYRA_APP_PLATFORM_WORKERS_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace veyra::app::platform {

// What the caller hears of the jobs, on its own thread.
struct WorkerEvents {
  std::function<void(size_t job, int32_t done, int32_t total)> progress;
  std::function<void(size_t job, const std::string& line)> message;  // one line a job wrote to stderr
  std::function<void(size_t job, int status)> finished;               // exit status, 128 + signal if killed
  // Asked between events; once true, running jobs are asked to cancel (as
  // by Ctrl-C) and no more are started.
  std::function<bool()> stopRequested;
};

// The job: answers its exit status; reports progress through the function.
using WorkerJob = std::function<int(size_t job, const std::function<void(int32_t, int32_t)>& progress)>;

// Runs job(0) .. job(count - 1), at most `workers` at once, in the order
// given. Where processes cannot be made this way, runs them one by one here.
void runWorkers(size_t count, int workers, const WorkerJob& job, const WorkerEvents& events);

// The number of processors available to this process.
int processorCount();

}  // namespace veyra::app::platform

#endif
