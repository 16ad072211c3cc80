// The things about paths that differ between systems, for the plug-in: the
// folder separator its paths are built with, and where the module's own file
// is. (Reading files by UTF-8 paths: render/RegularFile.h.)
#pragma once

#include <string>

namespace veyra::platform {

// The separator "append name" puts between a folder and a name.
char pathSeparator();

// The UTF-8 path of the file this code was loaded from (the module, or the
// program it is linked into), or "" when the system does not tell; callers
// then use the path the host reports.
std::string ownModulePath();

}  // namespace veyra::platform
