// The final, full-resolution pass of a filter run: the filter rectangle in
// bands of 256 rows spanning its full width, each read with a margin, lit in
// place and written back, with progress and abort between bands. Every band
// is lit from the untouched document's pixels, margins included, so a banded
// render equals one band over the whole rectangle.
#pragma once

#include <cstdint>

#include "host/FilterCall.h"

namespace veyra {

constexpr int32_t kBandHeight = 256;

// The margin every band is read with: the larger of the light and matte blur
// rounded up. Negative or NaN blurs count as 0, and the margin never exceeds
// limit (a margin beyond the image's size reads nothing more).
int32_t bandMargin(double lightBlur, double matteBlur, int32_t limit);

// Renders the document of the call. The result becomes userCanceledErr when
// the host asks to abort; failures raise HostResultError or SuiteError.
void renderDocument(FilterCall& call);

}  // namespace veyra
