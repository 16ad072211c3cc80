// Modules as DLLs: LoadLibraryW, and the resources read from the DLL's own
// Windows resources (FindResource, LoadResource) as editors read them, into
// a table of the same form the other platforms export.
#include "app/platform/ModuleLibrary.h"

#include <windows.h>

#include <cwctype>
#include <vector>

#include "app/platform/win/Utf16.h"

namespace veyra::app::platform {

namespace {

constexpr OSType fourCC(const char* c) {
  return (static_cast<OSType>(static_cast<unsigned char>(c[0])) << 24) |
         (static_cast<OSType>(static_cast<unsigned char>(c[1])) << 16) |
         (static_cast<OSType>(static_cast<unsigned char>(c[2])) << 8) |
         static_cast<OSType>(static_cast<unsigned char>(c[3]));
}

// Resource compilers may store type names in upper case; the four-character
// codes the host looks for are matched without regard to case.
const char* const kKnownTypes[] = {"PiPL", "aete"};
const OSType kBitmapType = fourCC("BMP ");

bool typeCode(LPCWSTR type, OSType* code) {
  if (IS_INTRESOURCE(type)) {
    if (type != MAKEINTRESOURCEW(2)) return false;  // RT_BITMAP
    *code = kBitmapType;
    return true;
  }
  if (std::wcslen(type) != 4) return false;
  char c[4];
  for (int i = 0; i < 4; ++i) {
    if (type[i] > 0x7e || type[i] < 0x20) return false;
    c[i] = static_cast<char>(type[i]);
  }
  *code = fourCC(c);
  for (const char* known : kKnownTypes) {
    bool same = true;
    for (int i = 0; i < 4; ++i) same = same && std::towlower(type[i]) == std::towlower(known[i]);
    if (same) *code = fourCC(known);
  }
  return true;
}

}  // namespace

struct ModuleLibrary::Impl {
  HMODULE handle = nullptr;
  std::vector<std::string> names;  // resource names the table points at
  std::vector<PIResourceEntry> table;
  ~Impl() {
    if (handle != nullptr) FreeLibrary(handle);
  }

  struct Found {
    OSType type;
    int32 id;
    std::string name;
    const unsigned char* data;
    unsigned32 size;
  };
  std::vector<Found> found;
  OSType currentType = 0;

  static BOOL CALLBACK onName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
    Impl* self = reinterpret_cast<Impl*>(param);
    HRSRC info = FindResourceW(module, name, type);
    HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data == nullptr) return TRUE;
    Found f{self->currentType, 0, {}, static_cast<const unsigned char*>(data),
            static_cast<unsigned32>(SizeofResource(module, info))};
    if (IS_INTRESOURCE(name))
      f.id = static_cast<int32>(reinterpret_cast<ULONG_PTR>(name));
    else
      f.name = narrow(name);
    self->found.push_back(std::move(f));
    return TRUE;
  }

  static BOOL CALLBACK onType(HMODULE module, LPWSTR type, LONG_PTR param) {
    Impl* self = reinterpret_cast<Impl*>(param);
    if (typeCode(type, &self->currentType)) EnumResourceNamesW(module, type, onName, param);
    return TRUE;
  }

  void readResources() {
    EnumResourceTypesW(handle, onType, reinterpret_cast<LONG_PTR>(this));
    names.reserve(found.size());
    for (const Found& f : found) {
      names.push_back(f.name);
      table.push_back({f.type, f.id, nullptr, f.data, f.size});
    }
    for (size_t i = 0; i < found.size(); ++i)
      if (!names[i].empty()) table[i].name = names[i].c_str();
    if (!table.empty()) table.push_back({0, 0, nullptr, nullptr, 0});
  }
};

ModuleLibrary::ModuleLibrary(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ModuleLibrary::~ModuleLibrary() = default;

std::unique_ptr<ModuleLibrary> ModuleLibrary::open(const std::string& path, std::string* why) {
  auto impl = std::make_unique<Impl>();
  // The module's own folder is searched for the DLLs it imports, as editors load plug-ins.
  impl->handle = LoadLibraryExW(widen(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (impl->handle == nullptr) {
    *why = systemErrorText(GetLastError());
    return nullptr;
  }
  impl->readResources();
  return std::unique_ptr<ModuleLibrary>(new ModuleLibrary(std::move(impl)));
}

void* ModuleLibrary::symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(impl_->handle, name));
}

const PIResourceEntry* ModuleLibrary::resources() const {
  return impl_->table.empty() ? nullptr : impl_->table.data();
}

}  // namespace veyra::app::platform
