#include "app/platform/Arguments.h"

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "app/platform/win/Utf16.h"

namespace veyra::app::platform {

// argv holds the arguments in the ANSI code page, which cannot spell every
// file name; the UTF-16 command line can.
std::vector<std::string> commandLineArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return {argv, argv + argc};
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(narrow(wide[i]));
  LocalFree(wide);
  return args;
}

}  // namespace veyra::app::platform
