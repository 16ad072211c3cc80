// The displacement step: the shape is sampled from the canvas at positions
// moved by the brightness of the document, so that it bends over the scene
// (dark pixels pull the sample one way, bright pixels the other).
#pragma once

#include <cstdint>

#include "host/HostBuffer.h"

namespace veyra {

// Fills out (one plane, at least the tile's size) for the tile rectangle
// tileRect (full-image coordinates) whose pixels lie in tile from its first
// row and column on. sourceRect is the tile rectangle in canvas coordinates:
// its size against the tile's gives the scale from full-image to canvas
// pixels. dx and dy are the displacement amounts in full-image pixels; black
// moves the sample by -dx, -dy, white by +dx, +dy. Canvas pixels outside the
// canvas count as 0. Returns false, leaving out untouched, for tiles that are
// not 8-bit grayscale, RGB or CMYK.
bool displaceShape(const HostBuffer& tile, const VRect& tileRect, const HostBuffer& canvas,
                   const VRect& sourceRect, double dx, double dy, HostBuffer& out);

// The brightness a document pixel displaces by: grayscale the pixel, RGB
// (76 R + 150 G + 29 B) / 255, CMYK the luminance of the inks as a byte.
uint8_t displacementBrightness(const uint8_t* pixel, int16_t imageMode);

}  // namespace veyra
