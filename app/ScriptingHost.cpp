#include "app/ScriptingHost.h"

#include <algorithm>
#include <cstring>

#include "app/FilterHost.h"

namespace veyra::app {

ScriptingHost* currentScripting() {
  FilterHost* host = FilterHost::current();
  return host != nullptr ? host->service<ScriptingHost>() : nullptr;
}

namespace {

// ---- read descriptor procedures -------------------------------------------
// Every procedure acts on the current host; none lets an exception escape.

PIReadDescriptor openReadProc(PIDescriptorHandle descriptor, DescriptorKeyID* keys) {
  try {
    ScriptingHost* s = currentScripting();
    return s != nullptr ? s->openRead(descriptor, keys) : nullptr;
  } catch (...) {
    return nullptr;
  }
}

OSErr closeReadProc(PIReadDescriptor token) {
  ScriptingHost* s = currentScripting();
  return s != nullptr ? s->closeRead(token) : kDescriptorBadToken;
}

Boolean getKeyProc(PIReadDescriptor token, DescriptorKeyID* key, DescriptorTypeID* type, int32* flags) {
  ScriptingHost* s = currentScripting();
  ScriptingHost::ReadToken* t = s != nullptr ? s->reader(token) : nullptr;
  if (t == nullptr) return false;
  if (t->next >= t->items.size()) {
    t->current = nullptr;
    return false;
  }
  t->current = &t->items[t->next++];
  if (key != nullptr) *key = t->current->key;
  if (type != nullptr) *type = t->current->typeCode();
  if (flags != nullptr) *flags = 0;
  return true;
}

// The current item of a reader, or null.
const DescriptorItem* currentItem(PIReadDescriptor token, OSErr& err) {
  ScriptingHost* s = currentScripting();
  ScriptingHost::ReadToken* t = s != nullptr ? s->reader(token) : nullptr;
  if (t == nullptr) {
    err = kDescriptorBadToken;
    return nullptr;
  }
  if (t->current == nullptr) {
    err = kDescriptorNoItem;
    return nullptr;
  }
  err = noErr;
  return t->current;
}

OSErr getIntegerProc(PIReadDescriptor token, int32* value) {
  OSErr err = noErr;
  const DescriptorItem* i = currentItem(token, err);
  if (i == nullptr) return err;
  if (i->kind != DescriptorItem::Kind::Integer) return kDescriptorWrongType;
  if (value != nullptr) *value = i->integer;
  return noErr;
}

OSErr getFloatProc(PIReadDescriptor token, real64* value) {
  OSErr err = noErr;
  const DescriptorItem* i = currentItem(token, err);
  if (i == nullptr) return err;
  // An integer item reads as a float too.
  if (i->kind == DescriptorItem::Kind::Integer) {
    if (value != nullptr) *value = i->integer;
    return noErr;
  }
  if (i->kind != DescriptorItem::Kind::Float) return kDescriptorWrongType;
  if (value != nullptr) *value = i->number;
  return noErr;
}

OSErr getBooleanProc(PIReadDescriptor token, Boolean* value) {
  OSErr err = noErr;
  const DescriptorItem* i = currentItem(token, err);
  if (i == nullptr) return err;
  if (i->kind != DescriptorItem::Kind::Boolean) return kDescriptorWrongType;
  if (value != nullptr) *value = i->flag ? 1 : 0;
  return noErr;
}

OSErr getEnumeratedProc(PIReadDescriptor token, DescriptorTypeID* type, OSType* value) {
  OSErr err = noErr;
  const DescriptorItem* i = currentItem(token, err);
  if (i == nullptr) return err;
  if (i->kind != DescriptorItem::Kind::Enumerated) return kDescriptorWrongType;
  if (type != nullptr) *type = i->enumType;
  if (value != nullptr) *value = i->enumValue;
  return noErr;
}

OSErr getStringProc(PIReadDescriptor token, unsigned char* dest) {
  OSErr err = noErr;
  const DescriptorItem* i = currentItem(token, err);
  if (i == nullptr) return err;
  if (i->kind != DescriptorItem::Kind::String) return kDescriptorWrongType;
  if (dest != nullptr) {
    // A length-prefixed string holds at most 255 characters.
    const size_t n = std::min<size_t>(i->text.size(), 255);
    dest[0] = static_cast<unsigned char>(n);
    std::memcpy(dest + 1, i->text.data(), n);
  }
  return noErr;
}

// ---- write descriptor procedures ------------------------------------------

PIWriteDescriptor openWriteProc() {
  try {
    ScriptingHost* s = currentScripting();
    return s != nullptr ? s->openWrite() : nullptr;
  } catch (...) {
    return nullptr;
  }
}

OSErr closeWriteProc(PIWriteDescriptor token, PIDescriptorHandle* descriptor) {
  try {
    ScriptingHost* s = currentScripting();
    return s != nullptr ? s->closeWrite(token, descriptor) : kDescriptorBadToken;
  } catch (...) {
    return memFullErr;
  }
}

OSErr putItem(PIWriteDescriptor token, DescriptorItem item) {
  try {
    ScriptingHost* s = currentScripting();
    Descriptor* d = s != nullptr ? s->writer(token) : nullptr;
    if (d == nullptr) return kDescriptorBadToken;
    d->push_back(std::move(item));
    return noErr;
  } catch (...) {
    return memFullErr;
  }
}

OSErr putIntegerProc(PIWriteDescriptor token, DescriptorKeyID key, int32 value) {
  return putItem(token, DescriptorItem::makeInteger(key, value));
}
OSErr putFloatProc(PIWriteDescriptor token, DescriptorKeyID key, const real64* value) {
  if (value == nullptr) return kDescriptorBadToken;
  return putItem(token, DescriptorItem::makeFloat(key, *value));
}
OSErr putBooleanProc(PIWriteDescriptor token, DescriptorKeyID key, Boolean value) {
  return putItem(token, DescriptorItem::makeBoolean(key, value != 0));
}
OSErr putEnumeratedProc(PIWriteDescriptor token, DescriptorKeyID key, DescriptorTypeID type, OSType value) {
  return putItem(token, DescriptorItem::makeEnumerated(key, type, value));
}
OSErr putStringProc(PIWriteDescriptor token, DescriptorKeyID key, const unsigned char* source) {
  if (source == nullptr) return kDescriptorBadToken;
  return putItem(token, DescriptorItem::makeString(
                            key, std::string(reinterpret_cast<const char*>(source + 1), source[0])));
}

ReadDescriptorProcs gReadProcs = {0,
                                  10,
                                  openReadProc,
                                  closeReadProc,
                                  getKeyProc,
                                  getIntegerProc,
                                  getFloatProc,
                                  getBooleanProc,
                                  getEnumeratedProc,
                                  getStringProc};
WriteDescriptorProcs gWriteProcs = {0,
                                    7,
                                    openWriteProc,
                                    closeWriteProc,
                                    putIntegerProc,
                                    putFloatProc,
                                    putBooleanProc,
                                    putEnumeratedProc,
                                    putStringProc};

// ---- action descriptor suite ----------------------------------------------
// Answers 0 on success; a bad descriptor or a missing key answers -50.

constexpr int32 kBadDescriptor = -50;

int32 adMake(PIActionDescriptor* descriptor) {
  if (descriptor == nullptr) return kBadDescriptor;
  *descriptor = nullptr;
  try {
    ScriptingHost* s = currentScripting();
    if (s == nullptr) return kBadDescriptor;
    *descriptor = s->makeActionDescriptor({});
    return noErr;
  } catch (...) {
    return memFullErr;
  }
}
int32 adFree(PIActionDescriptor descriptor) {
  ScriptingHost* s = currentScripting();
  return s != nullptr && s->freeActionDescriptor(descriptor) ? noErr : kBadDescriptor;
}
const DescriptorItem* lastItemWithKey(const Descriptor& d, DescriptorKeyID key) {
  for (auto it = d.rbegin(); it != d.rend(); ++it)
    if (it->key == key) return &*it;
  return nullptr;
}
int32 adHasKey(PIActionDescriptor descriptor, DescriptorKeyID key, Boolean* hasKey) {
  ScriptingHost* s = currentScripting();
  Descriptor* d = s != nullptr ? s->actionDescriptor(descriptor) : nullptr;
  if (d == nullptr || hasKey == nullptr) return kBadDescriptor;
  *hasKey = lastItemWithKey(*d, key) != nullptr;
  return noErr;
}
int32 adGetCount(PIActionDescriptor descriptor, unsigned32* count) {
  ScriptingHost* s = currentScripting();
  Descriptor* d = s != nullptr ? s->actionDescriptor(descriptor) : nullptr;
  if (d == nullptr || count == nullptr) return kBadDescriptor;
  *count = static_cast<unsigned32>(d->size());
  return noErr;
}
int32 adPutFloat(PIActionDescriptor descriptor, DescriptorKeyID key, double value) {
  try {
    ScriptingHost* s = currentScripting();
    Descriptor* d = s != nullptr ? s->actionDescriptor(descriptor) : nullptr;
    if (d == nullptr) return kBadDescriptor;
    d->erase(std::remove_if(d->begin(), d->end(), [key](const DescriptorItem& i) { return i.key == key; }),
             d->end());
    d->push_back(DescriptorItem::makeFloat(key, value));
    return noErr;
  } catch (...) {
    return memFullErr;
  }
}
int32 adGetFloat(PIActionDescriptor descriptor, DescriptorKeyID key, double* value) {
  ScriptingHost* s = currentScripting();
  Descriptor* d = s != nullptr ? s->actionDescriptor(descriptor) : nullptr;
  if (d == nullptr || value == nullptr) return kBadDescriptor;
  const DescriptorItem* i = lastItemWithKey(*d, key);
  if (i == nullptr) return kBadDescriptor;
  if (i->kind == DescriptorItem::Kind::Float)
    *value = i->number;
  else if (i->kind == DescriptorItem::Kind::Integer)
    *value = i->integer;
  else
    return kDescriptorWrongType;
  return noErr;
}

const PSActionDescriptorSuite2 gActionDescriptorSuite = {adMake,     adFree,     adHasKey,
                                                         adGetCount, adPutFloat, adGetFloat};

// ---- descriptor registry suite --------------------------------------------

int32 regRegister(const char* key, PIActionDescriptor descriptor, Boolean isPersistent) {
  try {
    ScriptingHost* s = currentScripting();
    Descriptor* d = s != nullptr ? s->actionDescriptor(descriptor) : nullptr;
    if (d == nullptr || key == nullptr) return kBadDescriptor;
    s->registerDescriptor(key, *d, isPersistent != 0);
    return noErr;
  } catch (...) {
    return memFullErr;
  }
}
int32 regErase(const char* key) {
  ScriptingHost* s = currentScripting();
  return s != nullptr && key != nullptr && s->eraseRegistered(key) ? noErr : kBadDescriptor;
}
int32 regGet(const char* key, PIActionDescriptor* descriptor) {
  if (descriptor == nullptr) return kBadDescriptor;
  *descriptor = nullptr;
  try {
    ScriptingHost* s = currentScripting();
    if (s == nullptr || key == nullptr) return kBadDescriptor;
    if (const Descriptor* stored = s->registered(key)) *descriptor = s->makeActionDescriptor(*stored);
    return noErr;
  } catch (...) {
    return memFullErr;
  }
}

const PSDescriptorRegistrySuite1 gRegistrySuite = {regRegister, regErase, regGet};

}  // namespace

ReadDescriptorProcs* ScriptingHost::readProcs() { return &gReadProcs; }
WriteDescriptorProcs* ScriptingHost::writeProcs() { return &gWriteProcs; }
const PSActionDescriptorSuite2* ScriptingHost::actionDescriptorSuite() { return &gActionDescriptorSuite; }
const PSDescriptorRegistrySuite1* ScriptingHost::registrySuite() { return &gRegistrySuite; }

ScriptingHost::ScriptingHost(FilterHost& host) : host_(host) {
  host.suites().add(kPSActionDescriptorSuite, kPSActionDescriptorSuiteVersion2, actionDescriptorSuite());
  host.suites().add(kPSDescriptorRegistrySuite, kPSDescriptorRegistrySuiteVersion1, registrySuite());
  PIDescriptorParameters& dp = host.defaultDescriptorParameters();
  dp.readDescriptorProcs = readProcs();
  dp.writeDescriptorProcs = writeProcs();
}

ScriptingHost::~ScriptingHost() = default;

ScriptingHost& installScripting(FilterHost& host) {
  if (ScriptingHost* existing = host.service<ScriptingHost>()) return *existing;
  return host.attach(std::make_unique<ScriptingHost>(host));
}

Handle ScriptingHost::makeHandle(const Descriptor& d) {
  const std::vector<char> bytes = encodeDescriptor(d);
  Handle h = host_.memory().makeHandle(bytes.size());
  if (h == nullptr) return nullptr;
  std::memcpy(host_.memory().handleData(h), bytes.data(), bytes.size());
  return h;
}

void ScriptingHost::playBack(const Descriptor& d, int16 playInfo) {
  clearPlayback();
  PIDescriptorParameters& dp = host_.defaultDescriptorParameters();
  dp.descriptor = makeHandle(d);
  dp.playInfo = playInfo;
}

void ScriptingHost::clearPlayback() {
  PIDescriptorParameters& dp = host_.defaultDescriptorParameters();
  if (dp.descriptor != nullptr && host_.memory().owns(dp.descriptor))
    host_.memory().disposeHandle(dp.descriptor);
  dp.descriptor = nullptr;
  dp.playInfo = plugInDialogDontDisplay;
  dp.recordInfo = plugInDialogOptional;
}

std::optional<Descriptor> ScriptingHost::currentDescriptor() const {
  const PIDescriptorParameters* dp = host_.descriptorParameters();
  if (dp == nullptr || dp->descriptor == nullptr || !host_.memory().owns(dp->descriptor)) return std::nullopt;
  return decodeDescriptor(host_.memory().handleData(dp->descriptor),
                          host_.memory().handleSize(dp->descriptor));
}

PIReadDescriptor ScriptingHost::openRead(PIDescriptorHandle handle, const DescriptorKeyID* keys) {
  lastKeyList_.clear();
  // The key list ends with a 0 key; a list that never ends is cut at 1000.
  for (size_t n = 0; keys != nullptr && n < 1000 && keys[n] != 0; ++n) lastKeyList_.push_back(keys[n]);
  if (handle == nullptr || !host_.memory().owns(handle)) return nullptr;
  std::optional<Descriptor> d =
      decodeDescriptor(host_.memory().handleData(handle), host_.memory().handleSize(handle));
  if (!d) return nullptr;
  auto token = std::make_unique<ReadToken>();
  token->items = std::move(*d);
  auto id = reinterpret_cast<PIReadDescriptor>(token.get());
  readers_[id] = std::move(token);
  ++readersOpened_;
  return id;
}

OSErr ScriptingHost::closeRead(PIReadDescriptor token) {
  return readers_.erase(token) != 0 ? OSErr{noErr} : kDescriptorBadToken;
}

ScriptingHost::ReadToken* ScriptingHost::reader(PIReadDescriptor token) {
  auto it = readers_.find(token);
  return it != readers_.end() ? it->second.get() : nullptr;
}

PIWriteDescriptor ScriptingHost::openWrite() {
  auto d = std::make_unique<Descriptor>();
  auto id = reinterpret_cast<PIWriteDescriptor>(d.get());
  writers_[id] = std::move(d);
  ++writersOpened_;
  return id;
}

Descriptor* ScriptingHost::writer(PIWriteDescriptor token) {
  auto it = writers_.find(token);
  return it != writers_.end() ? it->second.get() : nullptr;
}

OSErr ScriptingHost::closeWrite(PIWriteDescriptor token, PIDescriptorHandle* handle) {
  auto it = writers_.find(token);
  if (it == writers_.end()) return kDescriptorBadToken;
  const std::unique_ptr<Descriptor> d = std::move(it->second);
  writers_.erase(it);
  if (handle == nullptr) return noErr;
  *handle = makeHandle(*d);
  return *handle != nullptr ? OSErr{noErr} : OSErr{memFullErr};
}

Descriptor* ScriptingHost::actionDescriptor(PIActionDescriptor d) {
  auto it = actionDescriptors_.find(d);
  return it != actionDescriptors_.end() ? it->second.get() : nullptr;
}

PIActionDescriptor ScriptingHost::makeActionDescriptor(Descriptor contents) {
  auto d = std::make_unique<Descriptor>(std::move(contents));
  auto id = reinterpret_cast<PIActionDescriptor>(d.get());
  actionDescriptors_[id] = std::move(d);
  return id;
}

bool ScriptingHost::freeActionDescriptor(PIActionDescriptor d) { return actionDescriptors_.erase(d) != 0; }

void ScriptingHost::registerDescriptor(const std::string& key, const Descriptor& d, bool persistent) {
  registry_[key] = RegistryEntry{d, persistent};
}

bool ScriptingHost::eraseRegistered(const std::string& key) { return registry_.erase(key) != 0; }

const Descriptor* ScriptingHost::registered(const std::string& key) {
  ++registryLookups_;
  auto it = registry_.find(key);
  return it != registry_.end() ? &it->second.descriptor : nullptr;
}

}  // namespace veyra::app
