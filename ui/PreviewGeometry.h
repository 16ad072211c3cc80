// The arithmetic of the dialog preview: zoom steps and their labels, the size
// of the reduced copy of the document and where it sits in the preview item.
#pragma once

#include <cstdint>
#include <string>

#include "adm/ADMSuites.h"

namespace veyra {

struct PreviewZoom {
  static constexpr double kStep = 0.15;
  static constexpr double kMinimum = 0.5;
  static constexpr double kMaximum = 1.0;

  // One step in or out, limited to the range (double precision throughout,
  // so three steps out from 1.0 land just below 0.55).
  static double in(double zoom);
  static double out(double zoom);
  // "%3d%%" of zoom x 100 truncated: " 54%", "100%".
  static std::string label(double zoom);
};

struct PreviewGeometry {
  static constexpr int32_t kInset = 4;

  int32_t width;      // proxy width pw
  int32_t height;     // proxy height ph
  ADMRect imageRect;  // in item coordinates, centred in the inset area

  // The proxy for an image of imageWidth x imageHeight shown in an item with
  // the local rectangle at the zoom. The item's inner area limits the scale;
  // the preview never enlarges the document.
  static PreviewGeometry compute(int32_t imageWidth, int32_t imageHeight, const ADMRect& itemLocal,
                                 double zoom);
};

// The 8-bit mode a proxy of a document in the mode takes: 16-bit modes map to
// their 8-bit counterparts, others stay.
int16_t proxyImageMode(int32_t documentMode);

}  // namespace veyra
