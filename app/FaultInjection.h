// What a test can make the host do wrong, and what the host saw the plug-in
// do. Both belong to one FilterHost (FilterHost::faults(), ::calls()).
#ifndef VEYRA_APP_FAULTINJECTION_H
#define VEYRA_APP_FAULTINJECTION_H

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/PITypes.h"

namespace veyra::app {

struct FaultPlan {
  // Suites the host pretends not to have: acquiring them fails.
  std::set<std::string> absentSuites;
  // The 1-based number of the plug-in's handle allocation (handle procedure
  // "new") that answers empty; 0 for none.
  long failHandleAllocation = 0;
  // The 1-based number of the buffer-suite allocation that answers null; 0 for none.
  long failBufferAllocation = 0;
  // The abort procedure answers true once this many progress calls were
  // made (that is, after band N); 0 for never.
  long abortAfterProgress = 0;
};

enum class PortAccess { Read, Write, ReadScaled };

// One call of the channel-port suite.
struct PortCall {
  PortAccess access;
  int channel;        // index in the target channel list, -1 for an unknown port
  VRect rect;         // the rectangle asked for (the source rectangle of a scaled read)
  VRect destination;  // scaled reads: the scaling's destination rectangle
  int32 result;
};

struct HostCalls {
  long handleAllocations = 0;  // handle procedure "new" calls
  long handleDisposals = 0;
  long bufferAllocations = 0;  // buffer suite New calls
  long bufferDisposals = 0;    // buffer suite Dispose calls that freed a buffer
  long progressCalls = 0;
  std::vector<std::pair<int32, int32>> progress;  // (done, total) of each progress call
  long abortQueries = 0;
  std::vector<PortCall> portCalls;
  std::vector<int16> selectors;  // selectors called, in order

  std::vector<VRect> rects(PortAccess access, int channel = -1) const;
};

}  // namespace veyra::app

#endif
