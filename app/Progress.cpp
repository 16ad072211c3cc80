#include "app/Progress.h"

#include <unistd.h>

#include <csignal>

namespace veyra::app {

namespace {

volatile std::sig_atomic_t interrupted = 0;

// The first Ctrl-C asks the filter to stop at its next check; a second one,
// for a filter that does not check, ends the process as Ctrl-C normally does.
extern "C" void onInterrupt(int) {
  if (interrupted != 0) {
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
    return;
  }
  interrupted = 1;
}

}  // namespace

void installInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
}

bool interruptRequested() { return interrupted != 0; }
void clearInterrupt() { interrupted = 0; }
void requestInterrupt() { interrupted = 1; }

bool ProgressBar::stderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

void ProgressBar::update(int32_t done, int32_t total) {
  if (!enabled_ || total <= 0) return;
  constexpr int kWidth = 40;
  if (done < 0) done = 0;
  if (done > total) done = total;
  const int filled = static_cast<int>(static_cast<int64_t>(done) * kWidth / total);
  char bar[kWidth + 1];
  for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '-';
  bar[kWidth] = 0;
  std::fprintf(out_, "\r[%s] %3d%%", bar, static_cast<int>(static_cast<int64_t>(done) * 100 / total));
  std::fflush(out_);
  drawn_ = true;
}

ProgressBar::~ProgressBar() {
  if (drawn_) {
    std::fputc('\n', out_);
    std::fflush(out_);
  }
}

}  // namespace veyra::app
