#include "app/PluginModule.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace veyra::app {

const char* const kModuleFileName = "KVO_Veyra.8bf";

struct PluginModule::Library {
  void* handle = nullptr;
  ~Library() {
    if (handle != nullptr) dlclose(handle);
  }
};

PluginModule::PluginModule(PluginModule&&) noexcept = default;
PluginModule& PluginModule::operator=(PluginModule&&) noexcept = default;
PluginModule::~PluginModule() = default;

PluginModule PluginModule::load(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) throw ModuleError("plug-in module " + path + ": " + std::strerror(errno));
  if (!S_ISREG(st.st_mode)) throw ModuleError("plug-in module " + path + ": not a file");
  PluginModule m;
  m.path_ = path;
  m.library_ = std::make_unique<Library>();
  dlerror();
  m.library_->handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (m.library_->handle == nullptr) {
    const char* why = dlerror();
    throw ModuleError("plug-in module " + path + " cannot be loaded: " + (why ? why : "unknown reason"));
  }
  m.resources_ = static_cast<const PIResourceEntry*>(dlsym(m.library_->handle, VEYRA_RESOURCE_TABLE_NAME));
  std::string entryName;
  try {
    entryName = moduleEntryName(m.resources_);
  } catch (const ModuleError& e) {
    throw ModuleError("plug-in module " + path + ": " + e.what());
  }
  void* entry = dlsym(m.library_->handle, entryName.c_str());
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
  std::string n = path_.substr(path_.find_last_of('/') == std::string::npos ? 0 : path_.find_last_of('/') + 1);
  const size_t dot = n.find_last_of('.');
  if (dot != std::string::npos && dot > 0) n.erase(dot);
  return n.empty() ? "plug-in" : n;
}

std::string executableFolder() {
  std::vector<char> buf(4096);
  const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return ".";
  std::string path(buf.data(), static_cast<size_t>(n));
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

std::string locateModule(const std::string& explicitPath) {
  if (!explicitPath.empty()) return explicitPath;
  if (const char* env = std::getenv("VEYRA_PLUGIN"); env != nullptr && *env != 0) return env;
  const std::string bin = executableFolder();
  const std::string candidates[] = {bin + "/../lib/veyra/plug-ins/" + kModuleFileName,
                                    bin + "/../plug-ins/" + kModuleFileName};
  for (const std::string& c : candidates)
    if (access(c.c_str(), F_OK) == 0) return c;
  throw ModuleError(std::string("plug-in module ") + kModuleFileName + " not found in " + candidates[0] + " or " +
                    candidates[1] + "; give it with --plugin PATH or VEYRA_PLUGIN");
}

}  // namespace veyra::app
