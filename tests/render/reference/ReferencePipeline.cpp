// The reference pipeline's tile render and band walk.

#include "ReferencePipeline.h"

#include <algorithm>
#include <cmath>

#include "app/FilterHost.h"
#include "host/PIColorSpaceSuite.h"

namespace veyra::reftest {

namespace {

int div255(int64_t x) { return static_cast<int>(x / 255); }

// screen(base, col, T): one full screen per whole 256 of T, then a partial
// one weighted by the rest.
int screen(int base, int col, int T) {
  int r = base;
  for (int i = 0; i < T / 256; ++i) r = std::min(255, col + r - div255(int64_t(col) * r));
  const int n = T % 256;
  if (n != 0) {
    const int w = div255(int64_t(col) * n);
    r = std::min(255, r + w - div255(int64_t(r) * w));
  }
  return r;
}

int changedChannels(int mode) { return mode == 1 ? 1 : mode == 3 ? 3 : 4; }

// The tile rectangle in the coordinates of a canvas of another size, in
// single precision: left and top rounded down, right and bottom up and
// limited to the canvas.
Box canvasBox(const Box& r, int cw, int ch, int fullWidth, int fullHeight) {
  const float fcw = static_cast<float>(cw), fch = static_cast<float>(ch);
  const float fw = static_cast<float>(fullWidth), fh = static_cast<float>(fullHeight);
  Box b;
  b.left = static_cast<int>(std::floor(fcw * static_cast<float>(r.left) / fw));
  b.top = static_cast<int>(std::floor(fch * static_cast<float>(r.top) / fh));
  b.right = static_cast<int>(std::min(std::ceil(fcw * static_cast<float>(r.right) / fw), fcw));
  b.bottom = static_cast<int>(std::min(std::ceil(fch * static_cast<float>(r.bottom) / fh), fch));
  return b;
}

// The brightness that bends the shape: the pixel, the RGB luminance, or the
// CMYK luminance as a byte.
int displacementBrightness(const uint8_t* p, int mode) {
  if (mode == 1) return p[0];
  if (mode == 3) return (76 * p[0] + 150 * p[1] + 29 * p[2]) / 255;
  return static_cast<uint8_t>(matteIndex(p, 4, 0));
}

Plane displace(const Pixels& tile, int mode, const Box& rect, const Plane& canvas, const Box& source,
               double dx, double dy) {
  Plane out(rect.width(), rect.height());
  const double rx = static_cast<double>(source.width()) / rect.width();
  const double ry = static_cast<double>(source.height()) / rect.height();
  auto pixel = [&](int x, int y) -> double {
    return x >= 0 && x < canvas.width && y >= 0 && y < canvas.height ? canvas.at(x, y) : 0.0;
  };
  for (int j = 0; j < rect.height(); ++j)
    for (int i = 0; i < rect.width(); ++i) {
      const int v =
          displacementBrightness(&tile.px[(static_cast<size_t>(j) * tile.width + i) * tile.channels], mode);
      const double F = (v - 127.5) * 0.00784313725490196;
      const double sx = (dx * F + (rect.left + i)) * rx, sy = (dy * F + (rect.top + j)) * ry;
      const int x0 = static_cast<int>(std::floor(sx)), y0 = static_cast<int>(std::floor(sy));
      double fx = std::fmod(sx, 1.0), fy = std::fmod(sy, 1.0);
      if (fx < 0) fx += 1;
      if (fy < 0) fy += 1;
      const double p00 = pixel(x0, y0), p10 = pixel(x0 + 1, y0), p01 = pixel(x0, y0 + 1),
                   p11 = pixel(x0 + 1, y0 + 1);
      const double top = p00 + fx * (p10 - p00);
      out.at(i, j) = static_cast<uint8_t>(static_cast<int>(top + fy * (p01 + fx * (p11 - p01) - top)));
    }
  return out;
}

int shapeBlendValue(int mode, float o, int S, int M) {
  const int g = static_cast<int>(o * 255);
  const int s = div255(int64_t(g) * S);
  switch (mode) {
    case 0:
      return M;
    case 1:
      return o == 1.0f ? S : std::min(255, s);  // above 100 % s' saturates
    case 2:
      return std::min(255, M + s);
    case 3:
      return std::max(0, M - s);
    case 4:
      return std::min(255, div255(int64_t(static_cast<int>(o * S)) * M));
    case 5:
      return std::clamp(s + M - div255(int64_t(s) * M), 0, 255);
    case 6:
      return std::clamp(s + M - div255(int64_t(2) * s * M), 0, 255);
    case 7:
      return std::min(M, s);
    case 8:
      return std::min(255, std::max(M, s));
    default:
      return S;
  }
}

struct Run {
  const Settings& s;
  int mode;
  int fullWidth, fullHeight;
  std::array<uint8_t, 256> table;
  std::array<uint8_t, 4> color;
  const std::optional<Plane>& canvas;
};

// The light map of a tile, or nothing (Only without a shape).
std::optional<Plane> lightMap(const Run& run, const Pixels& tile, const Box& rect) {
  const Settings& s = run.s;
  const int w = rect.width(), h = rect.height();
  const bool shapeWanted = s.shapeBlend != 0 && !s.shapeFile.empty();
  if (s.shapeBlend == 1 && !shapeWanted) return std::nullopt;

  Plane matte(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      matte.at(x, y) = run.table[static_cast<size_t>(
          matteIndex(&tile.px[(static_cast<size_t>(y) * w + x) * tile.channels], run.mode, s.matteChannel))];
  if (s.matteBlur > 0) {
    Pixels p(w, h, 1);
    p.px = matte.px;
    boxBlur(p, static_cast<float>(s.matteBlur * 1.0), static_cast<float>(s.matteBlur * 1.0), 2);
    matte.px = p.px;
  }
  if (!shapeWanted || !run.canvas) return matte;

  const Plane& canvas = *run.canvas;
  const bool fullSize = canvas.width == run.fullWidth && canvas.height == run.fullHeight;
  Plane shapeTile(w, h);
  if (s.displacement != 0) {
    const Box source =
        fullSize ? rect : canvasBox(rect, canvas.width, canvas.height, run.fullWidth, run.fullHeight);
    const double amount = run.fullHeight * s.displacement * 0.005;
    shapeTile = displace(tile, run.mode, rect, canvas, source, amount, amount);
  } else if (fullSize) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) shapeTile.at(x, y) = canvas.at(rect.left + x, rect.top + y);
  } else {
    const Box from = canvasBox(rect, canvas.width, canvas.height, run.fullWidth, run.fullHeight);
    scaleRect(canvas, from, shapeTile, Box{0, 0, h, w});
  }

  // Opacity counts from 0 up to 255 x 255 (every blend saturated there).
  const double percent = std::isnan(s.opacity) ? 0.0 : std::clamp(s.opacity, 0.0, 6502500.0);
  const float o = static_cast<float>(percent * 0.01);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      shapeTile.at(x, y) =
          static_cast<uint8_t>(shapeBlendValue(s.shapeBlend, o, shapeTile.at(x, y), matte.at(x, y)));
  return shapeTile;
}

void renderTile(const Run& run, Pixels& tile, const Box& rect) {
  const Settings& s = run.s;
  std::optional<Plane> light = lightMap(run, tile, rect);
  if (!light) return;
  const int w = rect.width(), h = rect.height();
  const float rx = static_cast<float>(s.lightBlur * 1.0), ry = static_cast<float>(s.lightBlur * 1.0);
  const double b = s.brightness * 0.01;
  const int changed = changedChannels(run.mode);
  const int blend = s.lightBlend;

  if (s.lightSource == 1) {
    if (rx != 0 || ry != 0) {
      Pixels p(w, h, 1);
      p.px = light->px;
      boxBlur(p, rx, ry, 2);
      light->px = p.px;
    }
    const int A = static_cast<uint16_t>(static_cast<int>(b * 255));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int T = div255(int64_t(A) * light->at(x, y));
        for (int k = 0; k < changed; ++k) {
          const int p = tile.at(x, y, k), col = run.color[static_cast<size_t>(k)];
          int v = p;
          if (blend == 0) v = std::min(255, p + div255(int64_t(col) * T));
          if (blend == 1) v = std::max(0, p - div255(int64_t(col) * T));
          if (blend == 2) v = screen(p, col, T);
          tile.at(x, y, k) = static_cast<uint8_t>(v);
        }
      }
    return;
  }

  // Image source: the document weighted by the light map is the light.
  Pixels image(w, h, tile.channels);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int k = 0; k < changed; ++k)
        image.at(x, y, k) = static_cast<uint8_t>(tile.at(x, y, k) * light->at(x, y) / 255);
  if (rx != 0 || ry != 0) boxBlur(image, rx, ry, 2);
  int C[4];
  for (int k = 0; k < 4; ++k)
    C[k] = static_cast<uint16_t>(static_cast<int>(b * run.color[static_cast<size_t>(k)]));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int k = 0; k < changed; ++k) {
        const int p = tile.at(x, y, k), I = image.at(x, y, k);
        int v = p;
        if (blend == 0) v = std::min(255, p + div255(int64_t(C[k]) * I));
        if (blend == 1) v = std::max(0, p - div255(int64_t(C[k]) * I));
        if (blend == 2) v = screen(p, I, C[k]);
        tile.at(x, y, k) = static_cast<uint8_t>(v);
      }
}

}  // namespace

std::array<uint8_t, 4> hostLightColor(app::ColorMode mode, const uint16_t xyz[3]) {
  const PSColorSpaceSuite1* cs = app::colorSpaceSuite();
  ColorID id = nullptr;
  cs->Make(&id);
  CS_XYZ c{};
  c.x = xyz[0];
  c.y = xyz[1];
  c.z = xyz[2];
  cs->StuffXYZ(id, c);
  const int16 space =
      mode == app::ColorMode::RGB ? plugIncolorServicesRGBSpace : plugIncolorServicesCMYKSpace;
  unsigned8 out[4] = {0, 0, 0, 0};
  Boolean gamut = false;
  cs->ExtractComponents(id, space, &out[0], &out[1], &out[2], &out[3], &gamut);
  cs->Delete(&id);
  return {out[0], out[1], out[2], out[3]};
}

app::Document referenceApply(const app::Document& doc, const Settings& s, const std::optional<Plane>& shape,
                             const Box& f, const std::array<uint8_t, 4>& color) {
  app::Document work = doc;
  const int mode = static_cast<int>(doc.mode());
  const int planes = doc.channelCount();
  const int slots = planes == 1 ? 1 : 4;  // three planes take four slots
  const int w = doc.width(), h = doc.height();

  const bool shapeWanted = s.shapeBlend != 0 && !s.shapeFile.empty();
  std::optional<Plane> canvas;
  if (shapeWanted && shape) canvas = shapeCanvas(*shape, s, w, h);
  const Run run{s, mode, w, h, matteTable(s.mattePosition, s.matteRange), color, canvas};

  auto ceilBlur = [](double v) { return v > 0 ? static_cast<int>(std::ceil(v)) : 0; };
  const int m = std::max(ceilBlur(s.lightBlur), ceilBlur(s.matteBlur));
  const int bandWidth = std::min(2 * m + f.width(), w);
  const int bands = (f.height() + 255) / 256;
  for (int band = 0; band < bands; ++band) {
    Box t;
    t.top = f.top + 256 * band;
    t.left = f.left;
    t.bottom = std::min(t.top + 256, f.bottom);
    t.right = std::min(f.left + bandWidth, f.right);
    Box r;
    r.top = std::max(t.top - m, 0);
    r.left = std::max(t.left - m, 0);
    r.bottom = std::min(t.bottom + m, f.bottom);
    r.right = std::min(t.right + m, f.right);

    // The band sees only its read rectangle, and only the untouched
    // document's pixels there: its upper margin holds the rows as they were
    // before the bands above were written back.
    Pixels tile(r.width(), r.height(), slots);
    for (int y = 0; y < r.height(); ++y)
      for (int x = 0; x < r.width(); ++x)
        for (int k = 0; k < planes; ++k) tile.at(x, y, k) = doc.at(k, r.left + x, r.top + y);
    renderTile(run, tile, r);
    for (int y = t.top; y < t.bottom; ++y)
      for (int x = t.left; x < t.right; ++x)
        for (int k = 0; k < planes; ++k) work.at(k, x, y) = tile.at(x - r.left, y - r.top, k);
  }
  return work;
}

}  // namespace veyra::reftest
