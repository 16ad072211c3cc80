#include "render/Displacement.h"

#include <cmath>

#include "host/PITypes.h"
#include "render/MatteExtraction.h"

namespace veyra {

uint8_t displacementBrightness(const uint8_t* p, int16_t imageMode) {
  switch (imageMode) {
    case plugInModeRGBColor:
      return rgbLuminance(p[0], p[1], p[2]);
    case plugInModeCMYKColor:
      return cmykLuminance(p[0], p[1], p[2], p[3]);
    default:
      return p[0];
  }
}

namespace {

// A canvas pixel, 0 outside the canvas.
inline double canvasAt(const HostBuffer& canvas, int64_t x, int64_t y) {
  if (x < 0 || y < 0 || x >= canvas.width() || y >= canvas.height()) return 0.0;
  return canvas.row(static_cast<int32_t>(y))[x];
}

// The fractional part in 0..1, also for negative positions.
inline double fraction(double v) {
  double f = std::fmod(v, 1.0);
  if (f < 0.0) f += 1.0;
  return f;
}

// Bilinear sample of the canvas at (sx, sy). Positions from which no
// neighbour lies inside the canvas (NaN included) give 0 without being
// converted to integers.
uint8_t sampleCanvas(const HostBuffer& canvas, double sx, double sy) {
  if (!(sx > -2.0 && sx < canvas.width() + 1.0 && sy > -2.0 && sy < canvas.height() + 1.0)) return 0;
  const int64_t x0 = static_cast<int64_t>(std::floor(sx));
  const int64_t y0 = static_cast<int64_t>(std::floor(sy));
  const double p00 = canvasAt(canvas, x0, y0), p10 = canvasAt(canvas, x0 + 1, y0);
  const double p01 = canvasAt(canvas, x0, y0 + 1), p11 = canvasAt(canvas, x0 + 1, y0 + 1);
  const double fx = fraction(sx), fy = fraction(sy);
  const double top = p00 + fx * (p10 - p00);
  const double value = top + fy * (p01 + fx * (p11 - p01) - top);
  return value > 0.0 ? static_cast<uint8_t>(value) : 0;
}

}  // namespace

bool displaceShape(const HostBuffer& tile, const VRect& tileRect, const HostBuffer& canvas,
                   const VRect& sourceRect, double dx, double dy, HostBuffer& out) {
  const int16_t mode = tile.imageMode();
  if (tile.bytesPerSample() != 1) return false;
  if (mode != plugInModeGrayScale && mode != plugInModeRGBColor && mode != plugInModeCMYKColor) return false;
  const int32_t w = rectWidth(tileRect), h = rectHeight(tileRect);
  if (w <= 0 || h <= 0) return true;
  const double rx = static_cast<double>(rectWidth(sourceRect)) / w;
  const double ry = static_cast<double>(rectHeight(sourceRect)) / h;
  const int32_t step = tile.bytesPerPixel();
  for (int32_t r = 0; r < h; ++r) {
    const uint8_t* p = tile.row(r);
    uint8_t* o = out.row(r);
    const double y = static_cast<double>(tileRect.top) + r;
    for (int32_t c = 0; c < w; ++c, p += step) {
      // -1 for black, +1 for white.
      const double f = (displacementBrightness(p, mode) - 127.5) * 0.00784313725490196;
      const double sx = (dx * f + (static_cast<double>(tileRect.left) + c)) * rx;
      const double sy = (dy * f + y) * ry;
      o[c] = sampleCanvas(canvas, sx, sy);
    }
  }
  return true;
}

}  // namespace veyra
