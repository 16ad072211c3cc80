// `veyra gimp-install` and `veyra gimp-uninstall`: veyra-gimp, the module
// and its Patterns in (and out of) the user's GIMP 2.10 plug-in folder.
#ifndef VEYRA_APP_GIMPINSTALL_H
#define VEYRA_APP_GIMPINSTALL_H

#include <string>

#include "app/CommandLine.h"

namespace veyra::app {

void addGimpInstallCommands(CommandLine& cli);

// The user's GIMP 2.10 folder: $GIMP2_DIRECTORY (relative: in ~), else
// $XDG_CONFIG_HOME/GIMP/2.10, else ~/.config/GIMP/2.10.
std::string userGimpFolder();

// Installs into gimpFolder/plug-ins/veyra-gimp/ (replacing an earlier
// installation) and answers that folder. Throws CommandError.
std::string installIntoGimp(const std::string& gimpExecutable, const std::string& module,
                            const std::string& gimpFolder);
// Removes gimpFolder/plug-ins/veyra-gimp/; false when it was not there.
bool uninstallFromGimp(const std::string& gimpFolder);

}  // namespace veyra::app

#endif
