#include "app/platform/Environment.h"

#include <cstdlib>

#include "app/platform/win/Utf16.h"

namespace veyra::app::platform {

// The narrow environment is in the ANSI code page; the wide one spells every path.
std::string environmentVariable(const char* name) {
  const wchar_t* value = _wgetenv(widen(name).c_str());
  return value ? narrow(value) : "";
}

}  // namespace veyra::app::platform
