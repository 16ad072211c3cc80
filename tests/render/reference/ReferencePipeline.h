// A plain, slow second implementation of the whole light pipeline, written
// from the definitions of the render stages and independent of the plug-in's
// render/ and fx/ code: matte table and extraction, matte blur, the final
// render's shape canvas (scale, blur, rotation, position, corner pin), the
// shape tile, displacement, shape blend, light blur and both light blends,
// run band by band as the render driver cuts the filter rectangle. The end-
// to-end tests compare the veyra executable's output with it byte for byte.
//
// Everything is straightforward loops over plain vectors: divisions by 255
// are written as / 255, every sum is kept in 64 bits, nothing is shifted for
// speed except where a fixed-point format itself says "shift".
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/Document.h"

namespace veyra::reftest {

// One 8-bit plane, rows top to bottom without padding.
struct Plane {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> px;

  Plane() = default;
  Plane(int w, int h) : width(w), height(h), px(static_cast<size_t>(w) * static_cast<size_t>(h), 0) {}
  uint8_t& at(int x, int y) { return px[static_cast<size_t>(y) * width + x]; }
  uint8_t at(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
};

// Interleaved pixels of 1 or 4 bytes, as the engine's document tiles and
// light images are.
struct Pixels {
  int width = 0;
  int height = 0;
  int channels = 1;
  std::vector<uint8_t> px;

  Pixels() = default;
  Pixels(int w, int h, int c)
      : width(w), height(h), channels(c), px(static_cast<size_t>(w) * static_cast<size_t>(h) * c, 0) {}
  uint8_t& at(int x, int y, int k) { return px[(static_cast<size_t>(y) * width + x) * channels + k]; }
  uint8_t at(int x, int y, int k) const { return px[(static_cast<size_t>(y) * width + x) * channels + k]; }
};

// Top, left, bottom, right; bottom and right exclusive.
struct Box {
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
};

// Every parameter of a run, at the parameter record's defaults.
struct Settings {
  int lightBlend = 0;   // 0 Add, 1 Subtract, 2 Screen
  int lightSource = 0;  // 0 Image, 1 Matte
  double brightness = 100.0;
  double displacement = 0.0;
  double lightBlur = 10.0;
  uint16_t color[3] = {32768, 32768, 32768};
  int matteChannel = 0;  // luminance, red, green, blue, cyan, magenta, yellow, hue, saturation
  double mattePosition = 50.0;
  double matteRange = 25.0;
  double matteBlur = 0.0;
  int shapeBlend = 2;  // None, Only, Add, Subtract, Multiply, Screen, Difference, Darken, Lighten
  std::string shapeFile;
  double opacity = 100.0;
  double shapeBlurX = 0.0;
  double shapeBlurY = 0.0;
  double positionX = 0.0;
  double positionY = 0.0;
  double scaleX = 100.0;
  double scaleY = 100.0;
  double rotation = 0.0;
  double corners[8] = {0.0, 0.0, 1.0, 0.0, 1.0, 1.0, 0.0, 1.0};  // UL, UR, LR, LL as x, y
};

// --- stages, each from its definition ---------------------------------------------------------

// table[i] = trunc(curve(i / 255) x 255), the curve a natural cubic spline
// through the five bell points of position and range (percent).
std::array<uint8_t, 256> matteTable(double position, double range);

// The table index of one pixel of a tile (mode 1, 3 or 4) for a channel.
int matteIndex(const uint8_t* pixel, int mode, int channel);

// The box blur of a 1- or 4-channel 8-bit image, in place over the whole
// image, with passes box passes per direction (rows first, then columns).
void boxBlur(Pixels& img, float radiusX, float radiusY, int passes);

// Resamples the rectangle `from` of src into the rectangle `to` of dst with
// the automatic filter choice (the whole images' sizes decide the filter);
// dst pixels outside what the scaler writes are left as they are.
void scaleRect(const Plane& src, const Box& from, Plane& dst, const Box& to);
// The whole src into the whole dst; an equal size copies.
void scaleImage(const Plane& src, Plane& dst);

// The three-shear rotation by degrees.
Plane rotate(const Plane& src, double degrees);

// Refills canvas through the corner-pin mapping of the eight corner values.
void cornerPin(Plane& canvas, const double corners[8]);

// The final render's shape canvas: the shape's own size. Nothing when the
// scaled size is 0.
std::optional<Plane> shapeCanvas(const Plane& shape, const Settings& s, int fullWidth, int fullHeight);

// The four light colour bytes for a document mode, through the host's
// colour-space suite (the host's service, not the plug-in's).
std::array<uint8_t, 4> hostLightColor(app::ColorMode mode, const uint16_t xyz[3]);

// --- the whole run ------------------------------------------------------------------------------

// The document after a run with these settings inside the filter rectangle.
// shape is the decoded shape file (nothing: no file, or an unreadable one).
app::Document referenceApply(const app::Document& doc, const Settings& s, const std::optional<Plane>& shape,
                             const Box& filterRect, const std::array<uint8_t, 4>& color);

}  // namespace veyra::reftest
