// Progress on the terminal and cancelling with Ctrl-C.
#ifndef VEYRA_APP_PROGRESS_H
#define VEYRA_APP_PROGRESS_H

#include <cstdint>
#include <cstdio>

#include "app/platform/Interrupt.h"
#include "app/platform/Terminal.h"

namespace veyra::app {

// Makes Ctrl-C set a flag instead of ending the process; the host's abort
// procedure answers true once it is set. A second Ctrl-C while the flag is
// set ends the process.
using platform::clearInterrupt;
using platform::installInterruptHandler;
using platform::interruptRequested;
using platform::requestInterrupt;

// A one-line bar on a stream, redrawn in place. Draws nothing when disabled.
class ProgressBar {
 public:
  ProgressBar(std::FILE* out, bool enabled) : out_(out), enabled_(enabled) {}
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;
  ~ProgressBar();
  void update(int32_t done, int32_t total);
  // Wipes the bar from its line, so that a message can be written there; the
  // next update draws it again.
  void clearLine();

  // True when stderr is a terminal.
  static bool stderrIsTerminal() { return platform::stderrIsTerminal(); }

 private:
  std::FILE* out_;
  bool enabled_;
  bool drawn_ = false;
};

}  // namespace veyra::app

#endif
