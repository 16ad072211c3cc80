#include "ui/PreviewGeometry.h"

#include <algorithm>
#include <cstdio>

#include "host/PITypes.h"

namespace veyra {

double PreviewZoom::in(double zoom) {
  if (!(zoom < kMaximum)) return zoom;
  zoom += kStep;
  return zoom > kMaximum ? kMaximum : zoom;
}

double PreviewZoom::out(double zoom) {
  if (!(zoom > kMinimum)) return zoom;
  zoom -= kStep;
  return zoom < kMinimum ? kMinimum : zoom;
}

std::string PreviewZoom::label(double zoom) {
  char text[32];
  std::snprintf(text, sizeof text, "%3d%%", static_cast<int>(zoom * 100.0));
  return text;
}

PreviewGeometry PreviewGeometry::compute(int32_t imageWidth, int32_t imageHeight, const ADMRect& itemLocal,
                                         double zoom) {
  const int32_t insetLeft = itemLocal.left + kInset, insetTop = itemLocal.top + kInset;
  const int32_t insetWidth = itemLocal.right - itemLocal.left - 2 * kInset;
  const int32_t insetHeight = itemLocal.bottom - itemLocal.top - 2 * kInset;
  // An empty image or item gives an empty proxy rather than a division by 0.
  const int32_t wv = std::min(insetWidth, imageWidth), hv = std::min(insetHeight, imageHeight);
  PreviewGeometry g{0, 0, ADMRect{insetLeft, insetTop, insetLeft, insetTop}};
  if (wv <= 0 || hv <= 0) return g;

  // Single-precision scale factors: the exact quotients rounded once.
  const float sx = static_cast<float>(imageWidth) / static_cast<float>(wv);
  const float sy = static_cast<float>(imageHeight) / static_cast<float>(hv);
  const float s = std::max(sx, sy);
  const double f = zoom / s;
  g.width = static_cast<int32_t>(imageWidth * f);
  g.height = static_cast<int32_t>(static_cast<float>(imageHeight) * f);
  g.imageRect.left = insetLeft + (insetWidth - g.width) / 2;
  g.imageRect.top = insetTop + (insetHeight - g.height) / 2;
  g.imageRect.right = g.imageRect.left + g.width;
  g.imageRect.bottom = g.imageRect.top + g.height;
  return g;
}

int16_t proxyImageMode(int32_t mode) {
  switch (mode) {
    case plugInModeGray16:
      return plugInModeGrayScale;
    case plugInModeRGB48:
      return plugInModeRGBColor;
    case plugInModeCMYK64:
      return plugInModeCMYKColor;
    case plugInModeLab48:
      return plugInModeLabColor;
    default:
      return static_cast<int16_t>(mode);
  }
}

}  // namespace veyra
