// Whether a standard stream is a terminal, for the progress bar.
#ifndef VEYRA_APP_PLATFORM_TERMINAL_H
#define VEYRA_APP_PLATFORM_TERMINAL_H

namespace veyra::app::platform {

bool stderrIsTerminal();

}  // namespace veyra::app::platform

#endif
