// The suites a host offers, by name and version, and the basic suite
// (SPBasicSuite) through which the plug-in acquires them. Any part of the
// application adds its suites with add(); a FaultPlan can hide them.
#ifndef VEYRA_APP_SUITEREGISTRY_H
#define VEYRA_APP_SUITEREGISTRY_H

#include <map>
#include <string>
#include <utility>

#include "app/FaultInjection.h"
#include "host/SPBasic.h"

namespace veyra::app {

class SuiteRegistry {
 public:
  explicit SuiteRegistry(const FaultPlan& faults) : faults_(faults) {}

  // Offers a suite's function table (not copied: it must outlive the host).
  // Adding the same name and version again replaces the table.
  void add(const std::string& name, int32 version, const void* table);
  void remove(const std::string& name, int32 version);
  bool has(const std::string& name, int32 version) const;

  // kSPSuiteNotFoundError, and *suite set to null, for an absent suite.
  SPErr acquire(const char* name, int32 version, const void** suite);
  // kSPSuiteNotFoundError when the suite is not acquired.
  SPErr release(const char* name, int32 version);

  // Acquisitions not yet released, of one suite or of all.
  int outstanding(const std::string& name, int32 version) const;
  int outstanding() const;
  // Successful acquisitions of one suite so far.
  int acquisitions(const std::string& name, int32 version) const;

  // The basic suite; its procedures act on the current host's registry.
  static SPBasicSuite* basicSuite();

 private:
  struct Entry {
    const void* table = nullptr;
    int held = 0;
    int acquired = 0;
  };
  using Key = std::pair<std::string, int32>;
  const FaultPlan& faults_;
  std::map<Key, Entry> suites_;
};

}  // namespace veyra::app

#endif
