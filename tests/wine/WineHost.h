// Running the Windows builds of veyra (veyra.exe and its module, x64 and
// x86) under Wine from the Linux test suite: where the builds are, one Wine
// prefix per architecture in its build folder, and Linux paths as the
// Windows programs see them.
#ifndef VEYRA_TESTS_WINE_WINEHOST_H
#define VEYRA_TESTS_WINE_WINEHOST_H

#include <map>
#include <string>
#include <vector>

#include "support/AppTestSupport.h"

namespace veyra::test {

struct WindowsBuild {
  std::string arch;    // "x64" or "x86"
  std::string folder;  // the preset's build folder
  std::string exe() const { return folder + "/bin/veyra.exe"; }
  std::string module() const { return folder + "/plug-ins/KVO_Veyra.8bf"; }
  std::string prefix() const { return folder + "/wine-prefix"; }
};

// The Windows builds that have veyra.exe and the module, from
// $VEYRA_WINDOWS_BUILDS (a folder holding windows-x64/ and windows-x86/),
// else the source tree's build/ folder.
const std::vector<WindowsBuild>& windowsBuilds();
// True when the builds must be there ($VEYRA_REQUIRE_WINDOWS=1, as in
// `./test.sh windows`): a missing one fails instead of skipping.
bool windowsRequired();

// The path a Windows program under Wine uses for a Linux path (drive Z: is /).
std::string windowsPath(const std::string& linuxPath);
std::string identityPath(const std::string& path);

// Runs veyra.exe of the build under Wine with the arguments, in folder when
// one is given. Line ends of its output are Unix ones ("\r\n" becomes "\n").
CommandResult runWindows(const WindowsBuild& build, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env = {}, const std::string& folder = "");
// The same, and a SIGINT once the module is mapped into the process (its
// console control handler is in place by then): Wine hands a console
// program's SIGINT to its handlers as CTRL_C_EVENT, as a user's Ctrl-C.
CommandResult runWindowsInterrupted(const WindowsBuild& build, const std::vector<std::string>& args,
                                    const std::string& folder);
// The Linux veyra, in folder when one is given.
CommandResult runLinux(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {},
                       const std::string& folder = "");

}  // namespace veyra::test

#endif
