// The once-per-load check that the host offers the suites every pixel access
// needs (channel ports and buffers).
#pragma once

#include "host/FilterCall.h"

namespace veyra {

// Runs the check on its first call and remembers the outcome for the life of
// the loaded module. On failure sets the call's result to
// errPlugInHostInsufficient and answers false.
bool checkRequiredSuites(FilterCall& call);

}  // namespace veyra
