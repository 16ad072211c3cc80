// The two kinds of failure raised inside a selector and caught only by the
// entry point, which turns them into the call's result code.
#pragma once

#include <cstdint>
#include <exception>

#include "host/PITypes.h"

namespace veyra {

// A host result code (signed 16-bit), stored as the call's result.
class HostResultError : public std::exception {
public:
  explicit HostResultError(OSErr code) : code_(code) {}
  OSErr code() const { return code_; }
  const char* what() const noexcept override { return "host result code"; }

private:
  OSErr code_;
};

// The 32-bit error of a failed suite acquisition; the call's result becomes
// errPlugInHostInsufficient.
class SuiteError : public std::exception {
public:
  explicit SuiteError(int32_t error) : error_(error) {}
  int32_t error() const { return error_; }
  const char* what() const noexcept override { return "suite not available"; }

private:
  int32_t error_;
};

}  // namespace veyra
