#include "gimp/ModuleLocation.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "app/PluginModule.h"

namespace veyra::gimp {

std::string locateModuleFor(const std::string& exe, const std::string& installedModule) {
  if (const char* env = std::getenv("VEYRA_PLUGIN"); env != nullptr && *env != 0) return env;
  std::vector<std::string> candidates = {exe + "/" + app::kModuleFileName,
                                         exe + "/../plug-ins/" + app::kModuleFileName};
  if (!installedModule.empty())
    candidates.push_back(installedModule[0] == '/' ? installedModule : exe + "/" + installedModule);
  std::string looked;
  for (const std::string& c : candidates) {
    if (access(c.c_str(), F_OK) == 0) return c;
    looked += (looked.empty() ? "" : ", ") + c;
  }
  throw app::ModuleError(std::string("plug-in module ") + app::kModuleFileName + " not found in " + looked +
                         "; set VEYRA_PLUGIN to its path");
}

}  // namespace veyra::gimp
