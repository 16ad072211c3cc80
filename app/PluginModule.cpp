#include "app/PluginModule.h"

#include <cerrno>
#include <cstring>

#include "app/platform/Environment.h"
#include "app/platform/FileSystem.h"
#include "app/platform/ModuleLibrary.h"

namespace veyra::app {

const char* const kModuleFileName = "KVO_Veyra.8bf";

struct PluginModule::Library {
  std::unique_ptr<platform::ModuleLibrary> library;
};

PluginModule::PluginModule(PluginModule&&) noexcept = default;
PluginModule& PluginModule::operator=(PluginModule&&) noexcept = default;
PluginModule::~PluginModule() = default;

PluginModule PluginModule::load(const std::string& path) {
  const platform::PathKind kind = platform::pathKind(path);
  if (kind == platform::PathKind::Missing)
    throw ModuleError("plug-in module " + path + ": " + std::strerror(ENOENT));
  if (kind != platform::PathKind::File) throw ModuleError("plug-in module " + path + ": not a file");
  PluginModule m;
  m.path_ = path;
  m.library_ = std::make_unique<Library>();
  std::string why;
  m.library_->library = platform::ModuleLibrary::open(path, &why);
  if (!m.library_->library) throw ModuleError("plug-in module " + path + " cannot be loaded: " + why);
  m.resources_ = m.library_->library->resources();
  std::string entryName;
  try {
    entryName = moduleEntryName(m.resources_);
  } catch (const ModuleError& e) {
    throw ModuleError("plug-in module " + path + ": " + e.what());
  }
  void* entry = m.library_->library->symbol(entryName.c_str());
  if (entry == nullptr)
    throw ModuleError("plug-in module " + path + " has no entry point " + entryName);
  m.entry_ = reinterpret_cast<PluginMainProc>(entry);
  return m;
}

PluginModule PluginModule::inProcess(PluginMainProc entry, const std::string& path,
                                     const PIResourceEntry* resources) {
  if (entry == nullptr) throw ModuleError("no entry point given");
  PluginModule m;
  m.entry_ = entry;
  m.path_ = path;
  m.resources_ = resources;
  return m;
}

const PIResourceEntry* PluginModule::findResource(OSType type, int32 id) const {
  for (const PIResourceEntry* e = resources_; e != nullptr && e->type != 0; ++e)
    if (e->type == type && e->id == id) return e;
  return nullptr;
}

std::string PluginModule::name() const {
  std::string n = platform::baseOf(path_);
  const size_t dot = n.find_last_of('.');
  if (dot != std::string::npos && dot > 0) n.erase(dot);
  return n.empty() ? "plug-in" : n;
}

std::string executableFolder() { return platform::executableFolder(); }

std::string locateModule(const std::string& explicitPath) {
  if (!explicitPath.empty()) return explicitPath;
  if (const std::string env = platform::environmentVariable("VEYRA_PLUGIN"); !env.empty()) return env;
  const std::string bin = executableFolder();
  // Installed: bin/veyra and lib/veyra/plug-ins/; the build tree: bin/ and
  // plug-ins/ side by side; the Windows package: the module beside the program.
  const std::string up = platform::joinPath(bin, "..");
  const std::string candidates[] = {
      platform::joinPath(up, std::string("lib/veyra/plug-ins/") + kModuleFileName),
      platform::joinPath(up, std::string("plug-ins/") + kModuleFileName), platform::joinPath(bin, kModuleFileName)};
  for (const std::string& c : candidates)
    if (platform::pathKind(c) != platform::PathKind::Missing) return c;
  throw ModuleError(std::string("plug-in module ") + kModuleFileName + " not found in " + candidates[0] + ", " +
                    candidates[1] + " or " + candidates[2] + "; give it with --plugin PATH or VEYRA_PLUGIN");
}

}  // namespace veyra::app
