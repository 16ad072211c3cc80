// The colour-space suite: colour objects held as 16-bit ICC PCS XYZ (D50,
// 32768 = 1.0) and converted with LittleCMS 2: RGB through its built-in sRGB
// profile (relative colorimetric), Lab through its built-in D50 Lab profile
// in 8-bit encoding (L 0..255 for 0..100, a and b offset by 128), gray as
// that Lab's L, and CMYK derived from the sRGB result:
//   K = 255 - max(R, G, B); C, M, Y = (max - R, G, B) x 255 / max (rounded),
// each presented with 255 = no ink like the document data. HSB, HSL and XYZ
// components are not offered (the call answers -50).
#ifndef VEYRA_APP_COLORSPACESUITE_H
#define VEYRA_APP_COLORSPACESUITE_H

#include <functional>
#include <string>

#include "host/PIColorSpaceSuite.h"

namespace veyra::app {

// The colour picker behind PickColor: given the colour and the prompt, it
// answers true with the chosen colour written back, false when cancelled.
// Without one, PickColor answers -128 (cancelled).
using ColorPicker = std::function<bool(CS_XYZ& color, const std::string& prompt)>;
void setColorPicker(ColorPicker picker);

// Number of colour objects made and not yet deleted.
size_t liveColorCount();

}  // namespace veyra::app

#endif
