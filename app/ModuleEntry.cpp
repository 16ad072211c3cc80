// Which symbol of a module is its entry point: the one its property list
// names ('wx86'), once the list shows the module is a filter.
#include "app/PluginModule.h"
#include "app/PropertyList.h"

namespace veyra::app {

std::string moduleEntryName(const PIResourceEntry* resources) {
  try {
    return readFilterProperties(resources).entryPoint;
  } catch (const PropertyListError& e) {
    throw ModuleError(e.what());
  }
}

}  // namespace veyra::app
