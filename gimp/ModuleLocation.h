// Where veyra-gimp finds the filter module.
#ifndef VEYRA_GIMP_MODULELOCATION_H
#define VEYRA_GIMP_MODULELOCATION_H

#include <string>

namespace veyra::gimp {

// $VEYRA_PLUGIN when set; else the first that exists of: the module beside
// veyra-gimp (a user's GIMP plug-in folder), the build tree's plug-ins
// folder, and installed, the module's folder as seen from GIMP's plug-in
// folder (installedModule: absolute, or relative to veyra-gimp's folder).
// Throws app::ModuleError naming the places looked at.
std::string locateModuleFor(const std::string& executableFolder, const std::string& installedModule);

}  // namespace veyra::gimp

#endif
