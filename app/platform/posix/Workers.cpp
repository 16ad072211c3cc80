#include "app/platform/Workers.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace veyra::app::platform {

namespace {

// One running job: its process, the pipe its stderr goes to and the pipe its
// progress records (two int32: done, total) go to.
struct Worker {
  size_t job = 0;
  pid_t pid = -1;
  int errFd = -1;
  int progressFd = -1;
  std::string partialLine;
  std::vector<char> partialRecord;
  bool cancelled = false;
};

void writeAll(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the batch is gone; the job goes on without reporting
    p += n;
    size -= static_cast<size_t>(n);
  }
}

// In the child: never returns.
[[noreturn]] void runChild(pid_t parent, size_t index, int errFd, int progressFd, const WorkerJob& job,
                           const std::vector<int>& inherited) {
  // The job ends with the batch: a batch ended by a signal ends its jobs with
  // SIGTERM, which removes their temporary files.
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (getppid() != parent) _exit(128 + SIGTERM);
  // Ctrl-C at the terminal reaches the batch, which passes it on once.
  setpgid(0, 0);
  for (int fd : inherited) close(fd);
  dup2(errFd, STDERR_FILENO);
  close(errFd);
  int status = 2;
  try {
    status = job(index, [progressFd](int32_t done, int32_t total) {
      const int32_t record[2] = {done, total};
      writeAll(progressFd, record, sizeof record);
    });
  } catch (const std::exception& e) {
    std::fprintf(stderr, "veyra: %s\n", e.what());
  }
  std::fflush(stdout);
  std::fflush(stderr);
  _exit(status);
}

// Reads what is there; false at the end of the stream.
bool drain(int fd, const std::function<void(const char*, size_t)>& take) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
      take(buffer, static_cast<size_t>(n));
      if (static_cast<size_t>(n) < sizeof buffer) return true;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && errno == EAGAIN;
  }
}

}  // namespace

int processorCount() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) return CPU_COUNT(&set) > 0 ? CPU_COUNT(&set) : 1;
  const long n = sysconf(_SC_NPROCESSORS_ONLN);
  return n > 0 ? static_cast<int>(n) : 1;
}

void runWorkers(size_t count, int workers, const WorkerJob& job, const WorkerEvents& events) {
  if (workers < 1) workers = 1;
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t self = getpid();
  std::vector<Worker> running;
  size_t next = 0;
  bool stopping = false;

  auto start = [&](size_t index) {
    int err[2], progress[2];
    if (pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error(std::string("cannot start a job: ") + std::strerror(errno));
    if (pipe2(progress, O_CLOEXEC) != 0) {
      close(err[0]);
      close(err[1]);
      throw std::runtime_error(std::string("cannot start a job: ") + std::strerror(errno));
    }
    std::vector<int> inherited = {err[0], progress[0]};
    for (const Worker& w : running) inherited.insert(inherited.end(), {w.errFd, w.progressFd});
    const pid_t pid = fork();
    if (pid == 0) runChild(self, index, err[1], progress[1], job, inherited);
    close(err[1]);
    close(progress[1]);
    if (pid < 0) {
      close(err[0]);
      close(progress[0]);
      throw std::runtime_error(std::string("cannot start a job: ") + std::strerror(errno));
    }
    fcntl(err[0], F_SETFL, O_NONBLOCK);
    fcntl(progress[0], F_SETFL, O_NONBLOCK);
    Worker w;
    w.job = index;
    w.pid = pid;
    w.errFd = err[0];
    w.progressFd = progress[0];
    running.push_back(std::move(w));
  };

  auto takeErr = [&](Worker& w, const char* data, size_t n) {
    w.partialLine.append(data, n);
    for (size_t eol = w.partialLine.find('\n'); eol != std::string::npos; eol = w.partialLine.find('\n')) {
      events.message(w.job, w.partialLine.substr(0, eol));
      w.partialLine.erase(0, eol + 1);
    }
  };
  auto takeProgress = [&](Worker& w, const char* data, size_t n) {
    w.partialRecord.insert(w.partialRecord.end(), data, data + n);
    constexpr size_t kRecord = 2 * sizeof(int32_t);
    const size_t whole = w.partialRecord.size() / kRecord * kRecord;
    if (whole == 0) return;
    int32_t record[2];
    std::memcpy(record, w.partialRecord.data() + whole - kRecord, kRecord);  // the latest is enough
    w.partialRecord.erase(w.partialRecord.begin(), w.partialRecord.begin() + static_cast<long>(whole));
    events.progress(w.job, record[0], record[1]);
  };

  while (next < count || !running.empty()) {
    if (!stopping && events.stopRequested && events.stopRequested()) {
      stopping = true;
      for (Worker& w : running) {
        kill(w.pid, SIGINT);
        w.cancelled = true;
      }
    }
    while (!stopping && next < count && running.size() < static_cast<size_t>(workers)) start(next++);
    if (running.empty()) break;

    std::vector<pollfd> fds;
    for (const Worker& w : running) {
      fds.push_back({w.errFd, POLLIN, 0});
      fds.push_back({w.progressFd, POLLIN, 0});
    }
    // A short timeout: Ctrl-C sets a flag that poll does not always see.
    if (poll(fds.data(), fds.size(), 100) < 0 && errno != EINTR) throw std::runtime_error("poll failed");
    for (size_t i = 0; i < running.size();) {
      Worker& w = running[i];
      if (w.errFd >= 0 && (fds[2 * i].revents != 0) &&
          !drain(w.errFd, [&](const char* d, size_t n) { takeErr(w, d, n); })) {
        close(w.errFd);
        w.errFd = -1;
      }
      if (w.progressFd >= 0 && (fds[2 * i + 1].revents != 0) &&
          !drain(w.progressFd, [&](const char* d, size_t n) { takeProgress(w, d, n); })) {
        close(w.progressFd);
        w.progressFd = -1;
      }
      if (w.errFd < 0 && w.progressFd < 0) {
        if (!w.partialLine.empty()) events.message(w.job, w.partialLine);
        int status = 0;
        while (waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
        }
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        events.finished(w.job, code);
        running.erase(running.begin() + static_cast<long>(i));
        fds.erase(fds.begin() + static_cast<long>(2 * i), fds.begin() + static_cast<long>(2 * i + 2));
        continue;
      }
      // Keep the closed pipe's slot from being polled again.
      if (w.errFd < 0) fds[2 * i].fd = -1;
      if (w.progressFd < 0) fds[2 * i + 1].fd = -1;
      ++i;
    }
  }
}

}  // namespace veyra::app::platform
