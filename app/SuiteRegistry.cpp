#include "app/SuiteRegistry.h"

#include <cstdlib>
#include <cstring>

#include "app/FilterHost.h"

namespace veyra::app {

namespace {

constexpr SPErr kSPBadParameterError = 0x21506172;  // '!Par'
constexpr SPErr kSPOutOfMemoryError = -108;
constexpr SPErr kSPUnimplementedError = 0x21556e69;  // '!Uni'

SuiteRegistry* currentRegistry() {
  FilterHost* host = FilterHost::current();
  return host != nullptr ? &host->suites() : nullptr;
}

SPErr acquireSuite(const char* name, int32 version, const void** suite) {
  SuiteRegistry* r = currentRegistry();
  if (r == nullptr) {
    if (suite != nullptr) *suite = nullptr;
    return kSPSuiteNotFoundError;
  }
  return r->acquire(name, version, suite);
}

SPErr releaseSuite(const char* name, int32 version) {
  SuiteRegistry* r = currentRegistry();
  return r != nullptr ? r->release(name, version) : kSPSuiteNotFoundError;
}

SPBoolean isEqual(const char* a, const char* b) {
  return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

SPErr allocateBlock(size_t size, void** block) {
  if (block == nullptr) return kSPBadParameterError;
  *block = std::malloc(size > 0 ? size : 1);
  return *block != nullptr ? kSPNoError : kSPOutOfMemoryError;
}

SPErr freeBlock(void* block) {
  std::free(block);
  return kSPNoError;
}

SPErr reallocateBlock(void* block, size_t newSize, void** newBlock) {
  if (newBlock == nullptr) return kSPBadParameterError;
  void* p = std::realloc(block, newSize > 0 ? newSize : 1);
  if (p == nullptr) return kSPOutOfMemoryError;  // the old block stays valid
  *newBlock = p;
  return kSPNoError;
}

SPErr undefined() { return kSPUnimplementedError; }

SPBasicSuite gBasicSuite = {acquireSuite, releaseSuite, isEqual, allocateBlock,
                            freeBlock,    reallocateBlock, undefined};

}  // namespace

SPBasicSuite* SuiteRegistry::basicSuite() { return &gBasicSuite; }

void SuiteRegistry::add(const std::string& name, int32 version, const void* table) {
  suites_[{name, version}].table = table;
}

void SuiteRegistry::remove(const std::string& name, int32 version) { suites_.erase({name, version}); }

bool SuiteRegistry::has(const std::string& name, int32 version) const {
  return suites_.count({name, version}) != 0 && faults_.absentSuites.count(name) == 0;
}

SPErr SuiteRegistry::acquire(const char* name, int32 version, const void** suite) {
  if (suite == nullptr) return kSPBadParameterError;
  *suite = nullptr;
  if (name == nullptr || faults_.absentSuites.count(name) != 0) return kSPSuiteNotFoundError;
  auto it = suites_.find({name, version});
  if (it == suites_.end() || it->second.table == nullptr) return kSPSuiteNotFoundError;
  *suite = it->second.table;
  ++it->second.held;
  ++it->second.acquired;
  return kSPNoError;
}

SPErr SuiteRegistry::release(const char* name, int32 version) {
  if (name == nullptr) return kSPBadParameterError;
  auto it = suites_.find({name, version});
  if (it == suites_.end() || it->second.held == 0) return kSPSuiteNotFoundError;
  --it->second.held;
  return kSPNoError;
}

int SuiteRegistry::outstanding(const std::string& name, int32 version) const {
  auto it = suites_.find({name, version});
  return it != suites_.end() ? it->second.held : 0;
}

int SuiteRegistry::outstanding() const {
  int n = 0;
  for (const auto& [key, entry] : suites_) n += entry.held;
  return n;
}

int SuiteRegistry::acquisitions(const std::string& name, int32 version) const {
  auto it = suites_.find({name, version});
  return it != suites_.end() ? it->second.acquired : 0;
}

}  // namespace veyra::app
