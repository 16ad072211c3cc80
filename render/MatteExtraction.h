// Matte extraction: one value per document pixel, taken from the chosen
// channel and passed through the matte table.
#pragma once

#include <cstdint>

namespace veyra {

// Integer luminance of an RGB pixel, 0..255 (the weights sum to 255).
inline uint8_t rgbLuminance(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint8_t>((76u * r + 150u * g + 29u * b) / 255u);
}

// Luminance of a CMYK pixel (255 = no ink), in double precision:
// trunc((1 - (k (1 - a) + (1 - k))) x 255) with k = K / 255 and
// a = 0.299 C/255 + 0.587 M/255 + 0.114 Y/255.
uint8_t cmykLuminance(uint8_t c, uint8_t m, uint8_t y, uint8_t k);

// Hue index of an RGB pixel: the hue in degrees times 255/360, computed in
// single precision; 0 when the hue is undefined (R = G = B).
uint8_t rgbHueIndex(uint8_t r, uint8_t g, uint8_t b);

// Saturation index of an RGB pixel: (max - min) / max x 255 in single
// precision; 0 for black.
uint8_t rgbSaturationIndex(uint8_t r, uint8_t g, uint8_t b);

// Fills the width x height matte (one byte per pixel, matteRowBytes apart)
// with table[v], v the value of `channel` (a MatteChannel) at each pixel of
// the tile. Grayscale tiles (one byte per pixel) use the pixel whatever the
// channel; RGB and CMYK tiles have four bytes per pixel. CMYK with hue or
// saturation gives table[0] everywhere. Other image modes, and channel values
// outside the nine channels in RGB or CMYK, leave the matte untouched: the
// caller decides what an unfilled matte holds.
void extractMatte(const uint8_t* tile, int32_t tileRowBytes, int16_t imageMode, int32_t width, int32_t height,
                  int32_t channel, const uint8_t table[256], uint8_t* matte, int32_t matteRowBytes);

}  // namespace veyra
