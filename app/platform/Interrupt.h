// Ctrl-C: the first one sets a flag that the filter's abort procedure reads;
// a second one while the flag is set ends the process as Ctrl-C normally does.
#ifndef VEYRA_APP_PLATFORM_INTERRUPT_H
#define VEYRA_APP_PLATFORM_INTERRUPT_H

namespace veyra::app::platform {

// Installs the handler (SIGINT here, the console control handler on Windows).
void installInterruptHandler();
bool interruptRequested();
void clearInterrupt();
// Sets the flag as Ctrl-C does (for tests).
void requestInterrupt();

}  // namespace veyra::app::platform

#endif
