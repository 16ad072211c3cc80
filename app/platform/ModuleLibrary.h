// A filter module's shared library, loaded into this process: its exported
// symbols and its resources (property list, terminology, bitmaps).
#ifndef VEYRA_APP_PLATFORM_MODULELIBRARY_H
#define VEYRA_APP_PLATFORM_MODULELIBRARY_H

#include <memory>
#include <string>

#include "host/PluginResources.h"

namespace veyra::app::platform {

class ModuleLibrary {
 public:
  // Loads the library at path (UTF-8) with every symbol resolved now.
  // Returns null and sets *why when it cannot be loaded.
  static std::unique_ptr<ModuleLibrary> open(const std::string& path, std::string* why);
  ~ModuleLibrary();
  ModuleLibrary(const ModuleLibrary&) = delete;
  ModuleLibrary& operator=(const ModuleLibrary&) = delete;

  // The exported symbol, or null.
  void* symbol(const char* name) const;
  // The module's resources as a table ending with a zero type, or null when
  // it has none. Valid while the library is loaded.
  const PIResourceEntry* resources() const;

  struct Impl;

 private:
  explicit ModuleLibrary(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace veyra::app::platform

#endif
