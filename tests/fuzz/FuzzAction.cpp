// Fuzz target: action files (JSON descriptors) read against the module's own
// scripting resources, as `veyra apply --action` reads them.
#include "FuzzMain.h"
#include "app/ActionFile.h"
#include "resources/ResourceTable.h"

void fuzzOne(const std::string& path) {
  static const veyra::app::ModuleScripting scripting = veyra::app::ModuleScripting::fromResources(PIResourceTable);
  try {
    const veyra::app::Descriptor d = veyra::app::readActionFile(scripting, path);
    std::printf("%s: %zu items\n", path.c_str(), d.size());
  } catch (const veyra::app::ScriptingInputError& e) {
    std::printf("%s: refused: %.200s\n", path.c_str(), e.what());
  }
}
