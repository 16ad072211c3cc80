// The ZString suite (host strings for prompts) and the plug-ins suite (the
// module's own file).
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "app/FilterHost.h"

struct ASZByteRun {
  std::string text;
};

namespace veyra::app {

namespace {

constexpr int32 kParamErr = -50;

std::map<ASZString, std::unique_ptr<ASZByteRun>>& strings() {
  static std::map<ASZString, std::unique_ptr<ASZByteRun>> all;
  return all;
}

// byteCount 0 means the source is zero-terminated.
int32 makeFromCString(const char* src, size_t byteCount, ASZString* out) {
  if (src == nullptr || out == nullptr) return kParamErr;
  auto s = std::make_unique<ASZByteRun>();
  s->text.assign(src, byteCount != 0 ? strnlen(src, byteCount) : std::strlen(src));
  *out = s.get();
  strings().emplace(*out, std::move(s));
  return noErr;
}

int32 release(ASZString s) {
  if (strings().erase(s) == 0) return kParamErr;
  return noErr;
}

int32 asCString(ASZString s, char* buffer, size_t size) {
  auto it = strings().find(s);
  if (it == strings().end() || buffer == nullptr || size == 0) return kParamErr;
  const size_t n = std::min(size - 1, it->second->text.size());
  std::memcpy(buffer, it->second->text.data(), n);
  buffer[n] = 0;
  return noErr;
}

SPErr getPluginFilePath(SPPluginRef plugin, SPPlatformFilePath* file) {
  FilterHost* host = FilterHost::current();
  if (plugin == nullptr || file == nullptr || host == nullptr || plugin != host->pluginRef()) return kParamErr;
  if (plugin->path.size() >= sizeof file->path) return kParamErr;
  std::memcpy(file->path, plugin->path.c_str(), plugin->path.size() + 1);
  return kSPNoError;
}

SPErr getPluginName(SPPluginRef plugin, const char** name) {
  FilterHost* host = FilterHost::current();
  if (plugin == nullptr || name == nullptr || host == nullptr || plugin != host->pluginRef()) return kParamErr;
  *name = plugin->name.c_str();
  return kSPNoError;
}

const ASZStringSuite1 gZString = {makeFromCString, release, asCString};
const SPPluginsSuite4 gPlugins = {getPluginFilePath, getPluginName};

}  // namespace

const ASZStringSuite1* zStringSuite() { return &gZString; }
const SPPluginsSuite4* pluginsSuite() { return &gPlugins; }

}  // namespace veyra::app
