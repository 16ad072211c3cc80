// Plain shape placement for the reference pipeline: three-shear rotation,
// corner pin and the final render's shape canvas.

#include <algorithm>
#include <cmath>

#include "ReferencePipeline.h"

namespace veyra::reftest {

// --- rotation ----------------------------------------------------------------------------------

namespace {

Plane quarterTurns(const Plane& s, int q) {
  const int w = s.width, h = s.height;
  if (q == 0) return s;
  if (q == 2) {
    Plane d(w, h);
    for (int i = 0; i < h; ++i)
      for (int j = 0; j < w; ++j) d.at(w - 1 - j, h - 1 - i) = s.at(j, i);
    return d;
  }
  Plane d(h, w);  // h wide, w high
  for (int i = 0; i < h; ++i)
    for (int j = 0; j < w; ++j) {
      if (q == 1)
        d.at(i, w - 1 - j) = s.at(j, i);  // row w - 1 - j, column i
      else
        d.at(h - 1 - i, j) = s.at(j, i);  // row j, column h - 1 - i
    }
  return d;
}

// One line of a shear: source samples land at positions off + j (those
// outside 0..outLength - 1 are skipped and leave prev alone), each mixed with
// the previous landed sample by the 12-bit fraction f; one extra sample ends
// the line when f > 0 and off + count < outLength.
std::vector<int> shearLine(const std::vector<int>& in, int off, int f, int outLength) {
  std::vector<int> out(static_cast<size_t>(outLength), 0);
  int prev = 0;
  const int count = static_cast<int>(in.size());
  for (int j = 0; j < count; ++j) {
    const int at = off + j;
    if (at < 0 || at >= outLength) continue;
    const int src = in[static_cast<size_t>(j)];
    out[static_cast<size_t>(at)] = (src * (4096 - f) + prev * f + 2048) / 4096;
    prev = src;
  }
  if (f > 0 && off + count < outLength && off + count >= 0)
    out[static_cast<size_t>(off + count)] = (f * prev + 2048) / 4096;
  return out;
}

}  // namespace

Plane rotate(const Plane& src, double theta) {
  double a = -theta;
  while (a < -45) a += 360;
  int q = 0;
  while (a > 45) {
    a -= 90;
    ++q;
  }
  const Plane p0 = quarterTurns(src, q % 4);
  const int W0 = p0.width, H0 = p0.height;
  const double t = std::fabs(std::tan(a * 3.1415927 * 0.0027777778));
  const double s = std::fabs(std::sin(a * 3.1415927 * 0.0055555557));
  if (t == 0 || s == 0) return p0;
  const double almostOne = static_cast<double>(0.999999f);

  // First shear, along rows.
  const int W1 = static_cast<int>(H0 * t + W0 + almostOne);
  Plane p1(W1, H0);
  for (int y = 0; y < H0; ++y) {
    const double shift = t * (a > 0 ? y : H0 - y);
    const int n = static_cast<int>(shift);
    const int f = static_cast<int>((shift - n) * 4096);
    std::vector<int> in;
    for (int x = 0; x < W0; ++x) in.push_back(p0.at(x, y));
    const std::vector<int> out = shearLine(in, n, f, W1);
    for (int x = 0; x < W1; ++x) p1.at(x, y) = static_cast<uint8_t>(out[static_cast<size_t>(x)]);
  }

  // Second shear, along columns.
  const int D = static_cast<int>((W1 - W0) * s);
  const int F = static_cast<int>(s * W1 + H0 + almostOne);
  const int H2 = F - 2 * D;
  const int L3 = static_cast<int>((F - D - H0) * t);
  Plane p2(W1, H2);
  for (int x = 0; x < W1; ++x) {
    const double shift = s * (a > 0 ? W1 - x : x);
    const int n = static_cast<int>(shift);
    const int f = static_cast<int>((shift - n) * 4096);
    std::vector<int> in;
    for (int y = 0; y < H0; ++y) in.push_back(p1.at(x, y));
    const std::vector<int> out = shearLine(in, n - D, f, H2);
    for (int y = 0; y < H2; ++y) p2.at(x, y) = static_cast<uint8_t>(out[static_cast<size_t>(y)]);
  }

  // Third shear, along rows.
  const int W3 = static_cast<int>(H2 * t + W1 + almostOne - 2 * L3);
  Plane p3(W3, H2);
  for (int y = 0; y < H2; ++y) {
    const double shift = t * (a > 0 ? y : H2 - y);
    const int n = static_cast<int>(shift);
    const int f = static_cast<int>((shift - n) * 4096);
    std::vector<int> in;
    for (int x = 0; x < W1; ++x) in.push_back(p2.at(x, y));
    const std::vector<int> out = shearLine(in, n - L3, f, W3);
    for (int x = 0; x < W3; ++x) p3.at(x, y) = static_cast<uint8_t>(out[static_cast<size_t>(x)]);
  }
  return p3;
}

// --- corner pin --------------------------------------------------------------------------------

void cornerPin(Plane& canvas, const double corners[8]) {
  const int cw = canvas.width, ch = canvas.height;
  float x[4], y[4];
  for (int k = 0; k < 4; ++k) {
    x[k] = static_cast<float>(static_cast<int>(cw * corners[2 * k]));
    y[k] = static_cast<float>(static_cast<int>(ch * corners[2 * k + 1]));
  }
  // Unit square to quadrilateral, row vectors [u v 1] times m.
  double m[3][3];
  const double sx = x[0] - x[1] + x[2] - x[3], sy = y[0] - y[1] + y[2] - y[3];
  const Plane copy = canvas;
  std::fill(canvas.px.begin(), canvas.px.end(), 0);
  if (std::fabs(sx) < 1e-13 && std::fabs(sy) < 1e-13) {
    const double rows[3][3] = {{x[1] - x[0], y[1] - y[0], 0}, {x[2] - x[1], y[2] - y[1], 0}, {x[0], y[0], 1}};
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) m[i][j] = rows[i][j];
  } else {
    const double dx1 = x[1] - x[2], dx2 = x[3] - x[2], dy1 = y[1] - y[2], dy2 = y[3] - y[2];
    const double den = dx1 * dy2 - dx2 * dy1;
    if (den == 0) return;  // no mapping: the canvas stays 0
    const double g = (sx * dy2 - sy * dx2) / den, h = (dx1 * sy - dy1 * sx) / den;
    const double rows[3][3] = {{x[1] - x[0] + g * x[1], y[1] - y[0] + g * y[1], g},
                               {x[3] - x[0] + h * x[3], y[3] - y[0] + h * y[3], h},
                               {x[0], y[0], 1}};
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) m[i][j] = rows[i][j];
  }
  // Canvas to square: the adjoint.
  double adj[3][3];
  adj[0][0] = m[1][1] * m[2][2] - m[1][2] * m[2][1];
  adj[0][1] = m[0][2] * m[2][1] - m[0][1] * m[2][2];
  adj[0][2] = m[0][1] * m[1][2] - m[0][2] * m[1][1];
  adj[1][0] = m[1][2] * m[2][0] - m[1][0] * m[2][2];
  adj[1][1] = m[0][0] * m[2][2] - m[0][2] * m[2][0];
  adj[1][2] = m[0][2] * m[1][0] - m[0][0] * m[1][2];
  adj[2][0] = m[1][0] * m[2][1] - m[1][1] * m[2][0];
  adj[2][1] = m[0][1] * m[2][0] - m[0][0] * m[2][1];
  adj[2][2] = m[0][0] * m[1][1] - m[0][1] * m[1][0];
  for (int py = 0; py < ch; ++py)
    for (int px = 0; px < cw; ++px) {
      const double U = px * adj[0][0] + py * adj[1][0] + adj[2][0];
      const double V = px * adj[0][1] + py * adj[1][1] + adj[2][1];
      const double Z = px * adj[0][2] + py * adj[1][2] + adj[2][2];
      const float u = static_cast<float>(U / Z), v = static_cast<float>(V / Z);
      if (!(u >= 0 && u < 1 && v >= 0 && v < 1)) continue;
      // Only u and v are single precision; the sampling works in double.
      const double fxp = static_cast<double>(u) * cw, fyp = static_cast<double>(v) * ch;
      const int x0 = static_cast<int>(fxp), y0 = static_cast<int>(fyp);
      const int x1 = std::min(x0 + 1, cw - 1), y1 = std::min(y0 + 1, ch - 1);
      const double fx = fxp - x0, fy = fyp - y0;
      const double p00 = copy.at(x0, y0), p10 = copy.at(x1, y0), p01 = copy.at(x0, y1), p11 = copy.at(x1, y1);
      canvas.at(px, py) = static_cast<uint8_t>(
          static_cast<int>(((1 - fx) * p00 + fx * p10) * (1 - fy) + fy * ((1 - fx) * p01 + fx * p11)));
    }
}

// --- shape canvas ------------------------------------------------------------------------------

std::optional<Plane> shapeCanvas(const Plane& shape, const Settings& s, int fullWidth, int fullHeight) {
  const int sw = shape.width, sh = shape.height;
  const int cw = sw, ch = sh;  // the final render works at the shape's own size
  const double kx = static_cast<double>(sw) / fullWidth * 1.0,
               ky = static_cast<double>(sh) / fullHeight * 1.0;
  const int qw = static_cast<int>(s.scaleX * 0.01 * (static_cast<double>(cw) / sw) * sw);
  const int qh = static_cast<int>(sh * s.scaleY * 0.01 * (static_cast<double>(ch) / sh));
  if (qw == 0 || qh == 0) return std::nullopt;

  Plane scaled(qw, qh);
  scaleImage(shape, scaled);

  const double rx = s.shapeBlurX * kx, ry = s.shapeBlurY * ky;
  if (rx != 0 || ry != 0) {
    Pixels p(qw, qh, 1);
    p.px = scaled.px;
    boxBlur(p, static_cast<float>(rx), static_cast<float>(ry), 2);
    scaled.px = p.px;
  }

  const Plane turned = s.rotation != 0 ? rotate(scaled, s.rotation) : scaled;
  const int rw = turned.width, rh = turned.height;

  Plane canvas(cw, ch);
  const int ox = static_cast<int>(s.positionX * cw * 0.01) + (cw - rw) / 2;
  const int oy = static_cast<int>(s.positionY * ch * 0.01) + (ch - rh) / 2;
  for (int y = 0; y < rh; ++y)
    for (int x = 0; x < rw; ++x) {
      const int cx = ox + x, cy = oy + y;
      if (cx >= 0 && cx < cw && cy >= 0 && cy < ch) canvas.at(cx, cy) = turned.at(x, y);
    }

  bool identity = true;
  const double id[8] = {0.0, 0.0, 1.0, 0.0, 1.0, 1.0, 0.0, 1.0};
  for (int k = 0; k < 8; ++k) identity = identity && s.corners[k] == id[k];
  if (!identity) cornerPin(canvas, s.corners);
  return canvas;
}

}  // namespace veyra::reftest
