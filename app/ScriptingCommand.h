// The scripting options of the run commands (--set, --action, --record), the
// document check against the module's property list before any selector
// runs, and the `veyra info` command.
#ifndef VEYRA_APP_SCRIPTINGCOMMAND_H
#define VEYRA_APP_SCRIPTINGCOMMAND_H

#include <ostream>
#include <string>

#include "app/ActionFile.h"
#include "app/CommandLine.h"

namespace veyra::app {

// Adds the scripting options to apply and edit, and the info command.
void addScriptingCommands(CommandLine& cli);

// The module's scripting description from its resources; CommandError
// (kExitUsage) naming the module when they are missing or malformed.
ModuleScripting moduleScripting(const PluginModule& module);

// `veyra info`: the filter's name, category, version, supported modes and
// every scripting parameter, as text or JSON.
void printInfo(const ModuleScripting& scripting, bool json, std::ostream& out);

}  // namespace veyra::app

#endif
