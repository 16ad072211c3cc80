// Progress on the terminal and cancelling with Ctrl-C.
#ifndef VEYRA_APP_PROGRESS_H
#define VEYRA_APP_PROGRESS_H

#include <cstdint>
#include <cstdio>

namespace veyra::app {

// Makes SIGINT set a flag (async-signal-safe) instead of ending the process;
// the host's abort procedure answers true once it is set. A second SIGINT
// while the flag is set ends the process.
void installInterruptHandler();
bool interruptRequested();
void clearInterrupt();
// Sets the flag as SIGINT does (for tests).
void requestInterrupt();

// A one-line bar on a stream, redrawn in place. Draws nothing when disabled.
class ProgressBar {
 public:
  ProgressBar(std::FILE* out, bool enabled) : out_(out), enabled_(enabled) {}
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;
  ~ProgressBar();
  void update(int32_t done, int32_t total);

  // True when stderr is a terminal.
  static bool stderrIsTerminal();

 private:
  std::FILE* out_;
  bool enabled_;
  bool drawn_ = false;
};

}  // namespace veyra::app

#endif
