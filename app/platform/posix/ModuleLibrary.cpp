// Modules as ELF shared objects: dlopen, and the resources from the exported
// resource table.
#include "app/platform/ModuleLibrary.h"

#include <dlfcn.h>

namespace veyra::app::platform {

struct ModuleLibrary::Impl {
  void* handle = nullptr;
  ~Impl() {
    if (handle != nullptr) dlclose(handle);
  }
};

ModuleLibrary::ModuleLibrary(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ModuleLibrary::~ModuleLibrary() = default;

std::unique_ptr<ModuleLibrary> ModuleLibrary::open(const std::string& path, std::string* why) {
  auto impl = std::make_unique<Impl>();
  dlerror();
  impl->handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (impl->handle == nullptr) {
    const char* text = dlerror();
    *why = text ? text : "unknown reason";
    return nullptr;
  }
  return std::unique_ptr<ModuleLibrary>(new ModuleLibrary(std::move(impl)));
}

void* ModuleLibrary::symbol(const char* name) const { return dlsym(impl_->handle, name); }

const PIResourceEntry* ModuleLibrary::resources() const {
  return static_cast<const PIResourceEntry*>(symbol(VEYRA_RESOURCE_TABLE_NAME));
}

}  // namespace veyra::app::platform
