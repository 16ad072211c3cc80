// Ctrl-C through the console control handler, which Windows calls on a
// thread of its own.
#include "app/platform/Interrupt.h"

#include <windows.h>

#include <atomic>

#include "app/platform/AtomicReplace.h"

namespace veyra::app::platform {

namespace {

std::atomic<int> interrupted{0};

// TRUE: handled, the filter stops at its next check. FALSE for a second
// Ctrl-C passes it on to the default handler, which ends the process; the
// temporary files go first.
BOOL WINAPI onConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  if (interrupted.exchange(1) != 0) {
    removeTemporaryFiles();
    return FALSE;
  }
  return TRUE;
}

}  // namespace

void installInterruptHandler() { SetConsoleCtrlHandler(onConsoleControl, TRUE); }
bool interruptRequested() { return interrupted.load() != 0; }
void clearInterrupt() { interrupted.store(0); }
void requestInterrupt() { interrupted.store(1); }

}  // namespace veyra::app::platform
