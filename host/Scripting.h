// Reading the parameters from a played-back scripting descriptor at Start and
// recording them at Finish.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/FilterCall.h"

namespace veyra {

// Answers true when the host played back a descriptor and does not ask for
// the dialog; the values read stay in the parameter record either way.
// Raises SuiteError when the registry or the action descriptor suite is
// missing.
bool readScriptingParameters(FilterCall& call);

// Records the parameters as a descriptor for the host's scripting. Raises
// SuiteError when the registry or the action descriptor suite is missing.
void writeScriptingParameters(FilterCall& call);

// A played-back colour component: the value truncated toward zero, its low
// 16 bits kept (two's complement, so -1 gives 65535 and 65536 gives 0),
// defined for every finite value. NaN and infinities carry no integer, so
// they give fallback (the component's default at playback).
uint16_t colorComponentFromFloat(double value, uint16_t fallback);

// The string key carries at most 255 characters; a longer shape file path
// (the record holds up to 299) is recorded as an empty name rather than cut,
// since a cut path would name a different file.
constexpr std::size_t kMaxRecordedNameLength = 255;

}  // namespace veyra
