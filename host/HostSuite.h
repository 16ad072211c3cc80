// Scoped acquisition of a host suite through the basic suite: acquired in the
// constructor, released in the destructor, on every path out.
#pragma once

#include "host/Errors.h"
#include "host/SPBasic.h"

namespace veyra {

template <typename SuiteT>
class HostSuite {
public:
  // Acquires the suite; a missing broker or a non-zero error raises SuiteError.
  HostSuite(const SPBasicSuite* basic, const char* name, int32_t version)
      : basic_(basic), name_(name), version_(version) {
    if (basic_ == nullptr) throw SuiteError(kSPSuiteNotFoundError);
    const void* table = nullptr;
    SPErr err = basic_->AcquireSuite(name_, version_, &table);
    if (err != kSPNoError || table == nullptr) throw SuiteError(err != kSPNoError ? err : kSPSuiteNotFoundError);
    suite_ = static_cast<const SuiteT*>(table);
  }
  ~HostSuite() { basic_->ReleaseSuite(name_, version_); }
  HostSuite(const HostSuite&) = delete;
  HostSuite& operator=(const HostSuite&) = delete;

  const SuiteT* operator->() const { return suite_; }
  const SuiteT* get() const { return suite_; }

private:
  const SPBasicSuite* basic_;
  const char* name_;
  int32_t version_;
  const SuiteT* suite_ = nullptr;
};

}  // namespace veyra
