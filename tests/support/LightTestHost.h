// The real host application's filter host for tests of the light engine's
// pieces (renderer, shape placement, shape files): buffers come from the
// host's buffer suite through a thin wrapper that records every request, so
// that tests can see how many buffers of which size a stage asked for and
// the most memory held at once.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/Document.h"
#include "app/FilterHost.h"
#include "app/HostMemory.h"
#include "app/ImageFile.h"
#include "app/SuiteRegistry.h"
#include "host/HostDocument.h"
#include "host/PIBufferSuite.h"

namespace veyra::test {

// What the plug-in asked of the buffer suite.
struct BufferLog {
  std::vector<uint32_t> requests;  // sizes asked for, in order (failed ones too)
  size_t peak = 0;                 // most bytes held at once (host memory in use)
  const app::HostMemory* memory = nullptr;

  static BufferLog*& current() {
    static BufferLog* log = nullptr;
    return log;
  }
  static Ptr newBuffer(unsigned32* requested, unsigned32 minimum) {
    BufferLog* log = current();
    const PSBufferSuite1* inner = app::HostMemory::bufferSuite();
    if (log != nullptr) log->requests.push_back(requested != nullptr ? *requested : minimum);
    Ptr p = inner->New(requested, minimum);
    if (log != nullptr && log->memory != nullptr && log->memory->used() > log->peak)
      log->peak = log->memory->used();
    return p;
  }
  static void dispose(Ptr* p) { app::HostMemory::bufferSuite()->Dispose(p); }
  static unsigned32 size(Ptr p) { return app::HostMemory::bufferSuite()->GetSize(p); }
  static unsigned32 space() { return app::HostMemory::bufferSuite()->GetSpace(); }
  static const PSBufferSuite1* suite() {
    static const PSBufferSuite1 table = {&BufferLog::newBuffer, &BufferLog::dispose, &BufferLog::size,
                                         &BufferLog::space};
    return &table;
  }
  size_t count(uint32_t size) const {
    size_t n = 0;
    for (uint32_t r : requests) n += r == size ? 1 : 0;
    return n;
  }
  uint32_t largest() const {
    uint32_t m = 0;
    for (uint32_t r : requests) m = r > m ? r : m;
    return m;
  }
};

// A FilterHost over a small document of the given mode; the filter record is
// set up as far as the engine needs it (suites and image mode) without
// calling the plug-in.
class LightTestHost {
 public:
  explicit LightTestHost(app::ColorMode mode = app::ColorMode::RGB, int width = 1, int height = 1)
      : doc_(width, height, mode), host_(doc_) {
    host_.makeCurrent();
    host_.suites().add(kPSBufferSuite, kPSBufferSuiteVersion1, BufferLog::suite());
    log_.memory = &host_.memory();
    BufferLog::current() = &log_;
    FilterRecord& r = host_.filterRecord();
    r.sSPBasic = app::SuiteRegistry::basicSuite();
    r.imageMode = static_cast<int16>(mode);
    document_ = std::make_unique<HostDocument>(&r);
  }
  ~LightTestHost() {
    if (BufferLog::current() == &log_) BufferLog::current() = nullptr;
  }
  LightTestHost(const LightTestHost&) = delete;
  LightTestHost& operator=(const LightTestHost&) = delete;

  HostDocument& document() { return *document_; }
  app::FilterHost& host() { return host_; }
  BufferLog& log() { return log_; }
  size_t liveBuffers() { return host_.memory().bufferCount(); }
  // The most memory the host's buffers may hold together; larger requests
  // answer empty, as a host out of memory does.
  void setMemoryLimit(size_t bytes) { host_.memory().setLimit(bytes); }

 private:
  app::Document doc_;
  app::FilterHost host_;
  BufferLog log_;
  std::unique_ptr<HostDocument> document_;
};

// A one-plane 8-bit buffer filled by f(x, y).
template <class F>
HostBufferRef makePlaneOf(HostDocument& host, int32_t width, int32_t height, F f) {
  HostBufferRef b = host.makeBuffer(width, height, 1, 1, 1);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) b->row(y)[x] = static_cast<uint8_t>(f(x, y));
  return b;
}

inline std::vector<uint8_t> bytesOf(const HostBuffer& b) {
  std::vector<uint8_t> v(b.byteSize());
  if (!v.empty()) std::memcpy(v.data(), b.data(), v.size());
  return v;
}

// Writes an 8-bit gray PNG of width x height with samples f(x, y).
template <class F>
void writeGrayPng(const std::string& path, int width, int height, F f) {
  app::Document d(width, height, app::ColorMode::Gray);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) d.at(0, x, y) = static_cast<uint8_t>(f(x, y));
  app::writePng(d, path);
}

}  // namespace veyra::test
