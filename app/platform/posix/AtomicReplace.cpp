#include "app/platform/AtomicReplace.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace veyra::app::platform {

namespace {

// Temporary names that exist on disk, for the signal handlers. A slot is
// claimed by its state going 0 -> 1 (being filled) -> 2 (holds a name); the
// handlers read only slots in state 2. Lock-free atomics are async-signal-safe.
constexpr int kSlots = 16;
struct PendingName {
  std::atomic<int> state{0};
  char name[PATH_MAX];
};
PendingName pending[kSlots];

void remember(const std::string& name) {
  if (name.size() >= PATH_MAX) return;
  for (PendingName& p : pending) {
    int expected = 0;
    if (p.state.compare_exchange_strong(expected, 1)) {
      std::memcpy(p.name, name.c_str(), name.size() + 1);
      p.state.store(2);
      return;
    }
  }
}

// Signals that end the process by default: remove the temporary files, then
// end as the signal would have.
constexpr int kFatalSignals[] = {SIGHUP, SIGTERM, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ};

extern "C" void onFatalSignal(int signal) {
  removeTemporaryFiles();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void installCleanupHandlers() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int s : kFatalSignals) {
      struct sigaction old {};
      // Leave alone what the process already handles or ignores (nohup).
      if (sigaction(s, nullptr, &old) != 0 || old.sa_handler != SIG_DFL || (old.sa_flags & SA_SIGINFO)) continue;
      struct sigaction action {};
      action.sa_handler = onFatalSignal;
      sigemptyset(&action.sa_mask);
      action.sa_flags = SA_RESETHAND | SA_NODEFER;
      sigaction(s, &action, nullptr);
    }
  });
}

}  // namespace

void removeTemporaryFiles() {
  for (PendingName& p : pending)
    if (p.state.load() == 2) unlink(p.name);
}

void forgetTemporaryFile(const std::string& path) {
  for (PendingName& p : pending)
    if (p.state.load() == 2 && path == p.name) p.state.store(0);
}

std::string createTemporaryFile(const std::string& prefix, std::string* why) {
  installCleanupHandlers();
  std::string temp = prefix + "XXXXXX";
  // The name is known to the handlers before a signal can end the process.
  sigset_t fatal, previous;
  sigemptyset(&fatal);
  sigaddset(&fatal, SIGINT);
  for (int s : kFatalSignals) sigaddset(&fatal, s);
  pthread_sigmask(SIG_BLOCK, &fatal, &previous);
  const int fd = mkstemp(temp.data());
  const int error = errno;
  if (fd >= 0) remember(temp);
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  if (fd < 0) {
    *why = std::strerror(error);
    return "";
  }
  // mkstemp makes the file private; give it the mode a new file would get.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  close(fd);
  return temp;
}

bool flushToDisk(const std::string& path, std::string* why) {
  const int fd = open(path.c_str(), O_RDONLY);
  const bool synced = fd >= 0 && fsync(fd) == 0;
  const int err = errno;
  if (fd >= 0) close(fd);
  if (!synced) *why = std::strerror(err);
  return synced;
}

bool replaceFile(const std::string& from, const std::string& to, std::string* why) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  *why = std::strerror(errno);
  return false;
}

}  // namespace veyra::app::platform
