#include "app/platform/Terminal.h"

#include <windows.h>

namespace veyra::app::platform {

// A console has a console mode; a pipe or a file has none.
bool stderrIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace veyra::app::platform
