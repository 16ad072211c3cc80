// A filter module: a shared object loaded with dlopen and its entry point,
// or an entry point linked into this process (for tests).
#ifndef VEYRA_APP_PLUGINMODULE_H
#define VEYRA_APP_PLUGINMODULE_H

#include <memory>
#include <stdexcept>
#include <string>

#include "host/FilterRecord.h"
#include "host/PluginResources.h"

namespace veyra::app {

class ModuleError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The module's file name.
extern const char* const kModuleFileName;

class PluginModule {
 public:
  // Loads the module at path (RTLD_NOW | RTLD_LOCAL) and finds its entry
  // point. Throws ModuleError naming the file and what is wrong with it.
  static PluginModule load(const std::string& path);
  // An entry point already in this process; path is what the plug-ins suite
  // reports as the module's file (it decides where "Patterns" is looked for).
  static PluginModule inProcess(PluginMainProc entry, const std::string& path = "",
                                const PIResourceEntry* resources = nullptr);

  PluginModule(PluginModule&&) noexcept;
  PluginModule& operator=(PluginModule&&) noexcept;
  ~PluginModule();

  PluginMainProc entry() const { return entry_; }
  const std::string& path() const { return path_; }
  // The module's resource table, or null when it exports none.
  const PIResourceEntry* resources() const { return resources_; }
  // The resource of the given type and id, or null.
  const PIResourceEntry* findResource(OSType type, int32 id) const;
  // The module's name for messages: its file name without folder and extension.
  std::string name() const;

 private:
  PluginModule() = default;
  struct Library;
  std::unique_ptr<Library> library_;
  PluginMainProc entry_ = nullptr;
  const PIResourceEntry* resources_ = nullptr;
  std::string path_;
};

// The name of the entry point to look up in a module with this resource
// table (null when it has none).
std::string moduleEntryName(const PIResourceEntry* resources);

// Where the module is: the explicit path when given, else $VEYRA_PLUGIN, else
// the plug-ins folder beside the executable (../lib/veyra/plug-ins/ installed,
// ../plug-ins/ in the build tree). Throws ModuleError listing the places
// looked at when none has the module.
std::string locateModule(const std::string& explicitPath);

// The folder of the running executable.
std::string executableFolder();

}  // namespace veyra::app

#endif
