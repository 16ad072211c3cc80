#include "app/platform/Interrupt.h"

#include <csignal>

#include "app/platform/AtomicReplace.h"

namespace veyra::app::platform {

namespace {

volatile std::sig_atomic_t interrupted = 0;

// The first Ctrl-C asks the filter to stop at its next check; a second one,
// for a filter that does not check, ends the process as Ctrl-C normally does,
// leaving no temporary file behind.
extern "C" void onInterrupt(int) {
  if (interrupted != 0) {
    removeTemporaryFiles();
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

}  // namespace veyra::app::platform
