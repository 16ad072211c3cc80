#include "host/Scripting.h"

namespace veyra {

// Descriptor playback and recording arrive with the scripting work; until
// then nothing is played back, so the dialog decides.
bool readScriptingParameters(FilterCall&) { return false; }
void writeScriptingParameters(FilterCall&) {}

}  // namespace veyra
