// Host memory for the plug-in: handles (the filter record's handle
// procedures) and buffers (the buffer suite). Every block is owned here and
// freed with the host, whether or not the plug-in disposed of it.
#ifndef VEYRA_APP_HOSTMEMORY_H
#define VEYRA_APP_HOSTMEMORY_H

#include <algorithm>
#include <cstddef>
#include <limits>
#include <map>
#include <memory>

#include "app/FaultInjection.h"
#include "host/FilterRecord.h"
#include "host/PIBufferSuite.h"

// A host handle: one block of memory and its lock count.
struct PIHandleRecord {
  std::unique_ptr<char[]> data;
  size_t size = 0;
  int locks = 0;
};

namespace veyra::app {

class HostMemory {
 public:
  HostMemory(const FaultPlan& faults, HostCalls& calls) : faults_(faults), calls_(calls) {}
  HostMemory(const HostMemory&) = delete;
  HostMemory& operator=(const HostMemory&) = delete;
  ~HostMemory();

  // The most memory that handles and buffers may hold together; requests
  // beyond it answer empty, as a host out of memory does.
  void setLimit(size_t bytes) { limit_ = bytes; }
  size_t limit() const { return limit_; }
  size_t used() const { return used_; }

  // Host-side handle operations (for the scripting part's descriptor
  // handles and for tests); not counted as the plug-in's allocations.
  Handle makeHandle(size_t size);
  bool owns(Handle h) const { return handles_.count(h) != 0; }
  char* handleData(Handle h);  // null for an unknown handle
  size_t handleSize(Handle h) const;
  int lockCount(Handle h) const;
  void disposeHandle(Handle h);
  size_t handleCount() const { return handles_.size(); }

  // The plug-in's entry points (through the C procedures below).
  Handle pluginNewHandle(int32 size);
  OSErr setHandleSize(Handle h, int32 size);
  Ptr lockHandle(Handle h);
  void unlockHandle(Handle h);

  Ptr newBuffer(unsigned32* requestedSize, unsigned32 minimumSize);
  void disposeBuffer(Ptr* buffer);
  unsigned32 bufferSize(Ptr buffer) const;
  unsigned32 space() const;
  size_t bufferCount() const { return buffers_.size(); }

  // Builds with assertions or AddressSanitizer on fill every new buffer with
  // one non-zero byte, as debug heaps do: a buffer holds whatever the memory
  // held (the suite promises no zeroes), and a stage that reads one before
  // writing it shows up there as wrong pixels. Elsewhere new buffers are left
  // as they come. Handles are always zero-filled.
#if !defined(NDEBUG) || defined(__SANITIZE_ADDRESS__)
  static constexpr bool kPoisonsNewBuffers = true;
#else
  static constexpr bool kPoisonsNewBuffers = false;
#endif
  static constexpr unsigned char kNewBufferByte = 0xA5;

  // Tables whose procedures act on the current host's memory.
  static HandleProcs* handleProcs();
  static const PSBufferSuite1* bufferSuite();

 private:
  struct Block {
    std::unique_ptr<char[]> data;
    size_t size = 0;
    int locks = 0;
  };
  enum class Fill { Zero, Uninitialised };
  std::unique_ptr<char[]> allocate(size_t size, Fill fill);

  const FaultPlan& faults_;
  HostCalls& calls_;
  // 4 GB where pointers are 64 bits wide. A 32-bit process has 2 GB of
  // address space, which also holds the program, the module and the
  // document: the plug-in is offered half of it, 1 GB.
  size_t limit_ = static_cast<size_t>(
      std::min<unsigned long long>(4ULL << 30, std::numeric_limits<size_t>::max() / 4 + 1));
  size_t used_ = 0;
  std::map<Handle, std::unique_ptr<PIHandleRecord>> handles_;
  std::map<Ptr, Block> buffers_;
};

}  // namespace veyra::app

#endif
