// An in-process host for tests of the light engine's pieces: the real host
// application's filter host over a one-pixel document, so that a
// HostDocument can make buffers through the host's buffer suite.
#pragma once

#include <cstddef>
#include <memory>

#include "host/HostDocument.h"

namespace veyra::test {

class RenderTestHost {
 public:
  RenderTestHost();
  ~RenderTestHost();
  RenderTestHost(const RenderTestHost&) = delete;
  RenderTestHost& operator=(const RenderTestHost&) = delete;

  HostDocument& document();
  // The most memory the host's buffers may hold together; larger requests
  // answer empty, as a host out of memory does.
  void setMemoryLimit(size_t bytes);
  // Buffers the host has handed out and not yet had back.
  size_t liveBuffers() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace veyra::test
