#include "app/HostMemory.h"

#include <algorithm>
#include <limits>
#include <new>

#include "app/FilterHost.h"

namespace veyra::app {

namespace {

// A block is never of size 0 so that a lock always answers an address.
size_t storageSize(size_t size) { return std::max<size_t>(size, 1); }

HostMemory* currentMemory() {
  FilterHost* host = FilterHost::current();
  return host != nullptr ? &host->memory() : nullptr;
}

Handle newProc(int32 size) {
  HostMemory* m = currentMemory();
  return m != nullptr ? m->pluginNewHandle(size) : nullptr;
}
void disposeProc(Handle h) {
  if (HostMemory* m = currentMemory()) m->disposeHandle(h);
}
int32 getSizeProc(Handle h) {
  HostMemory* m = currentMemory();
  return m != nullptr ? static_cast<int32>(m->handleSize(h)) : 0;
}
OSErr setSizeProc(Handle h, int32 size) {
  HostMemory* m = currentMemory();
  return m != nullptr ? m->setHandleSize(h, size) : static_cast<OSErr>(memFullErr);
}
Ptr lockProc(Handle h, Boolean) {
  HostMemory* m = currentMemory();
  return m != nullptr ? m->lockHandle(h) : nullptr;
}
void unlockProc(Handle h) {
  if (HostMemory* m = currentMemory()) m->unlockHandle(h);
}
void recoverSpaceProc(int32) {}

Ptr bufferNew(unsigned32* requestedSize, unsigned32 minimumSize) {
  HostMemory* m = currentMemory();
  return m != nullptr ? m->newBuffer(requestedSize, minimumSize) : nullptr;
}
void bufferDispose(Ptr* buffer) {
  if (HostMemory* m = currentMemory()) m->disposeBuffer(buffer);
}
unsigned32 bufferGetSize(Ptr buffer) {
  HostMemory* m = currentMemory();
  return m != nullptr ? m->bufferSize(buffer) : 0;
}
unsigned32 bufferGetSpace() {
  HostMemory* m = currentMemory();
  return m != nullptr ? m->space() : 0;
}

HandleProcs gHandleProcs = {1, 8, newProc, disposeProc, getSizeProc, setSizeProc,
                            lockProc, unlockProc, recoverSpaceProc, disposeProc};
const PSBufferSuite1 gBufferSuite = {bufferNew, bufferDispose, bufferGetSize, bufferGetSpace};

}  // namespace

HandleProcs* HostMemory::handleProcs() { return &gHandleProcs; }
const PSBufferSuite1* HostMemory::bufferSuite() { return &gBufferSuite; }

HostMemory::~HostMemory() = default;

std::unique_ptr<char[]> HostMemory::allocate(size_t size, Fill fill) {
  if (size > limit_ || used_ > limit_ - size) return nullptr;
  // Zero-filling touches every page of the block; a buffer the plug-in is
  // about to overwrite is spared that (new char[n] leaves the bytes as they are).
  std::unique_ptr<char[]> block(fill == Fill::Zero ? new (std::nothrow) char[storageSize(size)]()
                                                   : new (std::nothrow) char[storageSize(size)]);
  if (block) used_ += size;
  return block;
}

Handle HostMemory::makeHandle(size_t size) {
  auto data = allocate(size, Fill::Zero);
  if (!data) return nullptr;
  auto record = std::make_unique<PIHandleRecord>();
  record->data = std::move(data);
  record->size = size;
  Handle h = record.get();
  handles_.emplace(h, std::move(record));
  return h;
}

char* HostMemory::handleData(Handle h) {
  auto it = handles_.find(h);
  return it != handles_.end() ? it->second->data.get() : nullptr;
}

size_t HostMemory::handleSize(Handle h) const {
  auto it = handles_.find(h);
  return it != handles_.end() ? it->second->size : 0;
}

int HostMemory::lockCount(Handle h) const {
  auto it = handles_.find(h);
  return it != handles_.end() ? it->second->locks : 0;
}

void HostMemory::disposeHandle(Handle h) {
  auto it = handles_.find(h);
  if (it == handles_.end()) return;  // unknown or already disposed: ignored
  used_ -= it->second->size;
  handles_.erase(it);
  ++calls_.handleDisposals;
}

Handle HostMemory::pluginNewHandle(int32 size) {
  const long n = ++calls_.handleAllocations;
  if (size < 0 || n == faults_.failHandleAllocation) return nullptr;
  return makeHandle(static_cast<size_t>(size));
}

OSErr HostMemory::setHandleSize(Handle h, int32 size) {
  auto it = handles_.find(h);
  if (it == handles_.end() || size < 0) return memFullErr;
  PIHandleRecord& r = *it->second;
  // A locked block may not move; resizing it is refused.
  if (r.locks > 0) return memFullErr;
  const auto newSize = static_cast<size_t>(size);
  used_ -= r.size;
  auto data = allocate(newSize, Fill::Zero);
  if (!data) {
    used_ += r.size;
    return memFullErr;
  }
  std::copy_n(r.data.get(), std::min(r.size, newSize), data.get());
  r.data = std::move(data);
  r.size = newSize;
  return noErr;
}

Ptr HostMemory::lockHandle(Handle h) {
  auto it = handles_.find(h);
  if (it == handles_.end()) return nullptr;
  ++it->second->locks;
  return it->second->data.get();
}

void HostMemory::unlockHandle(Handle h) {
  auto it = handles_.find(h);
  if (it != handles_.end() && it->second->locks > 0) --it->second->locks;
}

Ptr HostMemory::newBuffer(unsigned32* requestedSize, unsigned32 minimumSize) {
  const long n = ++calls_.bufferAllocations;
  if (n == faults_.failBufferAllocation) return nullptr;
  size_t size = requestedSize != nullptr ? *requestedSize : minimumSize;
  auto data = allocate(size, Fill::Uninitialised);
  if (!data && minimumSize < size) {
    size = minimumSize;
    data = allocate(size, Fill::Uninitialised);
  }
  if (!data) return nullptr;
  if (kPoisonsNewBuffers) std::fill_n(data.get(), size, static_cast<char>(kNewBufferByte));
  if (requestedSize != nullptr) *requestedSize = static_cast<unsigned32>(size);
  Ptr p = data.get();
  buffers_.emplace(p, Block{std::move(data), size, 0});
  return p;
}

void HostMemory::disposeBuffer(Ptr* buffer) {
  if (buffer == nullptr || *buffer == nullptr) return;
  auto it = buffers_.find(*buffer);
  if (it != buffers_.end()) {
    used_ -= it->second.size;
    buffers_.erase(it);
    ++calls_.bufferDisposals;
  }
  *buffer = nullptr;
}

unsigned32 HostMemory::bufferSize(Ptr buffer) const {
  auto it = buffers_.find(buffer);
  return it != buffers_.end() ? static_cast<unsigned32>(it->second.size) : 0;
}

unsigned32 HostMemory::space() const {
  return static_cast<unsigned32>(std::min<size_t>(limit_ - used_, std::numeric_limits<unsigned32>::max()));
}

}  // namespace veyra::app
