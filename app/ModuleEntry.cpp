// Which symbol of a module is its entry point.
#include "app/PluginModule.h"

namespace veyra::app {

std::string moduleEntryName(const PIResourceEntry*) { return VEYRA_PLUGIN_ENTRY_NAME; }

}  // namespace veyra::app
