#include "render/CornerPin.h"

#include <cmath>
#include <limits>

namespace veyra {

bool squareToQuad(const float x[4], const float y[4], ProjectiveMatrix& out) {
  double(&m)[3][3] = out.m;
  const double x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  const double y0 = y[0], y1 = y[1], y2 = y[2], y3 = y[3];
  const double sx = x0 - x1 + x2 - x3;
  const double sy = y0 - y1 + y2 - y3;
  if (std::fabs(sx) < 1e-13 && std::fabs(sy) < 1e-13) {
    m[0][0] = x1 - x0, m[0][1] = y1 - y0, m[0][2] = 0.0;
    m[1][0] = x2 - x1, m[1][1] = y2 - y1, m[1][2] = 0.0;
    m[2][0] = x0, m[2][1] = y0, m[2][2] = 1.0;
    return true;
  }
  const double dx1 = x1 - x2, dx2 = x3 - x2, dy1 = y1 - y2, dy2 = y3 - y2;
  const double den = dx1 * dy2 - dx2 * dy1;
  if (den == 0.0) return false;
  const double g = (sx * dy2 - sy * dx2) / den;
  const double h = (dx1 * sy - dy1 * sx) / den;
  m[0][0] = x1 - x0 + g * x1, m[0][1] = y1 - y0 + g * y1, m[0][2] = g;
  m[1][0] = x3 - x0 + h * x3, m[1][1] = y3 - y0 + h * y3, m[1][2] = h;
  m[2][0] = x0, m[2][1] = y0, m[2][2] = 1.0;
  return true;
}

ProjectiveMatrix adjoint(const ProjectiveMatrix& in) {
  const double(&a)[3][3] = in.m;
  ProjectiveMatrix out;
  double(&b)[3][3] = out.m;
  b[0][0] = a[1][1] * a[2][2] - a[1][2] * a[2][1];
  b[0][1] = a[0][2] * a[2][1] - a[0][1] * a[2][2];
  b[0][2] = a[0][1] * a[1][2] - a[0][2] * a[1][1];
  b[1][0] = a[1][2] * a[2][0] - a[1][0] * a[2][2];
  b[1][1] = a[0][0] * a[2][2] - a[0][2] * a[2][0];
  b[1][2] = a[0][2] * a[1][0] - a[0][0] * a[1][2];
  b[2][0] = a[1][0] * a[2][1] - a[1][1] * a[2][0];
  b[2][1] = a[0][1] * a[2][0] - a[0][0] * a[2][1];
  b[2][2] = a[0][0] * a[1][1] - a[0][1] * a[1][0];
  return out;
}

namespace {

// A corner position in canvas pixels: the fraction times the canvas size,
// truncated, then single precision. The truncation is done in double so that
// no value, however large, is converted to an integer type.
bool cornerPixel(int32_t size, double fraction, float& out) {
  const double v = std::trunc(size * fraction);
  if (!(std::fabs(v) <= std::numeric_limits<float>::max())) return false;  // NaN, infinite, beyond float
  out = static_cast<float>(v);
  return true;
}

// A mapped coordinate in single precision, or -1 (outside) for values that
// are NaN or far outside the unit square, which are never converted.
float squareCoordinate(double numerator, double denominator) {
  const double q = numerator / denominator;
  return q > -1.0 && q < 2.0 ? static_cast<float>(q) : -1.0f;
}

}  // namespace

bool applyCornerPin(HostDocument& host, HostBuffer& canvas, const CornerPoint corners[4]) {
  const int32_t cw = canvas.width(), ch = canvas.height();
  float x[4], y[4];
  bool finite = true;
  for (int k = 0; k < 4; ++k) {
    finite = cornerPixel(cw, corners[k].x, x[k]) && finite;
    finite = cornerPixel(ch, corners[k].y, y[k]) && finite;
  }
  ProjectiveMatrix quad;
  if (!finite || !squareToQuad(x, y, quad)) {
    canvas.clear();
    return false;
  }
  const ProjectiveMatrix inv = adjoint(quad);
  const double(&a)[3][3] = inv.m;

  HostBufferRef copyRef = host.makeBuffer(cw, ch, 1, 1, 1);
  const HostBuffer& copy = *copyRef;
  copyRef->copyFrom(canvas);
  canvas.clear();

  for (int32_t yy = 0; yy < ch; ++yy) {
    uint8_t* out = canvas.row(yy);
    for (int32_t xx = 0; xx < cw; ++xx) {
      const double U = xx * a[0][0] + yy * a[1][0] + a[2][0];
      const double V = xx * a[0][1] + yy * a[1][1] + a[2][1];
      const double Z = xx * a[0][2] + yy * a[1][2] + a[2][2];
      const float u = squareCoordinate(U, Z);
      const float v = squareCoordinate(V, Z);
      if (!(u >= 0.0f && u < 1.0f && v >= 0.0f && v < 1.0f)) continue;
      // u < 1 makes u x cw < cw exactly (a float times a 32-bit integer is
      // exact in double), so x0 and y0 stay inside the copy.
      const double px = static_cast<double>(u) * cw;
      const double py = static_cast<double>(v) * ch;
      const int32_t x0 = static_cast<int32_t>(px), y0 = static_cast<int32_t>(py);
      const int32_t x1 = x0 + 1 < cw ? x0 + 1 : cw - 1;
      const int32_t y1 = y0 + 1 < ch ? y0 + 1 : ch - 1;
      const double fx = px - x0, fy = py - y0;
      const uint8_t* r0 = copy.row(y0);
      const uint8_t* r1 = copy.row(y1);
      const double value =
          ((1.0 - fx) * r0[x0] + fx * r0[x1]) * (1.0 - fy) + fy * ((1.0 - fx) * r1[x0] + fx * r1[x1]);
      out[xx] = static_cast<uint8_t>(value);
    }
  }
  return true;
}

}  // namespace veyra
