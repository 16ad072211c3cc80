#include "host/platform/ModuleFiles.h"

namespace veyra::platform {

char pathSeparator() { return '/'; }

// Linux hosts report the module's path through the plug-ins suite; that path
// is already UTF-8, so there is nothing to add.
std::string ownModulePath() { return std::string(); }

}  // namespace veyra::platform
