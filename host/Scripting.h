// Reading the parameters from a played-back scripting descriptor at Start and
// recording them at Finish.
#pragma once

#include "host/FilterCall.h"

namespace veyra {

// Answers true when the host played back a descriptor and does not ask for
// the dialog; the values read stay in the parameter record either way.
bool readScriptingParameters(FilterCall& call);
// Records the parameters as a descriptor for the host's scripting.
void writeScriptingParameters(FilterCall& call);

}  // namespace veyra
