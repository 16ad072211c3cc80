#include "app/platform/Terminal.h"

#include <unistd.h>

namespace veyra::app::platform {

bool stderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace veyra::app::platform
