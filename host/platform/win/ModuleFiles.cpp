#include "host/platform/ModuleFiles.h"

#include <windows.h>

#include <vector>

#include "host/platform/win/Utf16.h"

namespace veyra::platform {

char pathSeparator() { return '\\'; }

std::string ownModulePath() {
  // The module that holds this function, found by its address: the DLL when
  // the plug-in runs in a host, the program when it is linked in.
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&ownModulePath), &self))
    return std::string();
  // The name may be longer than MAX_PATH; grow until it fits.
  std::vector<wchar_t> name(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(self, name.data(), static_cast<DWORD>(name.size()));
    if (n == 0) return std::string();
    if (n < name.size()) return narrow(name.data(), static_cast<int>(n));
    if (name.size() >= 32768) return std::string();
    name.resize(name.size() * 2);
  }
}

}  // namespace veyra::platform
