// The light blend: lights the document tile with the light map, in place.
// Two forms, one per light source: Matte (the light colour weighted by
// brightness and the light map) and Image (the document multiplied by the
// light map, weighted by brightness and the light colour).
#pragma once

#include <cstdint>

#include "render/Div255.h"

namespace veyra {

// Screens col onto base with strength T (255 = one full screen; each whole
// 256 applies one more full screen, the remainder a partial one).
inline uint8_t screen(uint32_t base, uint32_t col, uint32_t strength) {
  uint32_t r = base;
  for (uint32_t i = strength >> 8; i > 0; --i) {
    uint32_t next = col + r - div255(col * r);
    if (next > 255) next = 255;
    if (next == r) break;  // a fixed point: every further screen gives r again
    r = next;
  }
  const uint32_t n = strength & 255u;
  if (n != 0) {
    const uint32_t w = div255(col * n);
    r = r + w - div255(r * w);
    if (r > 255) r = 255;
  }
  return static_cast<uint8_t>(r);
}

// Brightness as the blends use it: percent x 0.01 in double precision,
// limited to 0..257 (NaN counts as 0) so that trunc(b x 255) and
// trunc(b x colour) stay within the 16-bit strength range.
double lightBrightnessFactor(double brightnessPercent);

// Matte source: with A = trunc(b x 255) and, per pixel, T = div255(A x L),
// every changed channel p becomes
//   Add       min(255, p + div255(col x T))
//   Subtract  max(0, p - div255(col x T))
//   Screen    screen(p, col, T)
// `mode` is a LightBlendMode. Grayscale tiles have one byte per pixel and use
// col[0]; RGB tiles four, of which bytes 0..2 change and byte 3 stays; CMYK
// tiles four, all changing. Other image or blend modes leave the tile as it is.
// The light map is one byte per pixel.
void lightBlendMatte(int32_t mode, double brightnessPercent, const uint8_t col[4], int16_t imageMode,
                     uint8_t* tile, int32_t tileRowBytes, const uint8_t* light, int32_t lightRowBytes,
                     int32_t width, int32_t height);

// Image source: with C[k] = trunc(b x col[k]) and I the light image (the
// tile's layout), every changed channel p becomes
//   Add       min(255, p + div255(C x I))
//   Subtract  max(0, p - div255(C x I))
//   Screen    screen(p, I, C)
// Channels, image modes and blend modes as for the Matte source.
void lightBlendImage(int32_t mode, double brightnessPercent, const uint8_t col[4], int16_t imageMode,
                     uint8_t* tile, int32_t tileRowBytes, const uint8_t* lightImage,
                     int32_t lightImageRowBytes, int32_t width, int32_t height);

// Builds the light image: every channel value of the tile times the light map
// value at its pixel, divided by 255 (truncating). RGB multiplies bytes 0..2
// and sets byte 3 to 0 (no later stage uses it); CMYK multiplies all four;
// grayscale its one byte. Other image modes write nothing.
void multiplyByLightMap(int16_t imageMode, const uint8_t* tile, int32_t tileRowBytes, const uint8_t* light,
                        int32_t lightRowBytes, int32_t width, int32_t height, uint8_t* lightImage,
                        int32_t lightImageRowBytes);

}  // namespace veyra
