// Rectangles in document pixels: top, left, bottom, right; bottom and right
// exclusive. The host's VRect is the type; these are its helpers.
#pragma once

#include <cstdint>

#include "host/PITypes.h"

// Comparison lives beside the C type so that argument lookup finds it.
inline bool operator==(const VRect& a, const VRect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}
inline bool operator!=(const VRect& a, const VRect& b) { return !(a == b); }

namespace veyra {

inline VRect makeRect(int32_t top, int32_t left, int32_t bottom, int32_t right) {
  VRect r;
  r.top = top;
  r.left = left;
  r.bottom = bottom;
  r.right = right;
  return r;
}
inline int32_t rectWidth(const VRect& r) { return r.right - r.left; }
inline int32_t rectHeight(const VRect& r) { return r.bottom - r.top; }
inline bool rectIsEmpty(const VRect& r) { return r.right <= r.left || r.bottom <= r.top; }

// One rectangle of an overlap request, with its offset (dx, dy) into the
// common coordinates.
struct OverlapRect {
  VRect* rect;
  int32_t dx;
  int32_t dy;
};

// Makes all n rectangles describe the same area: each is moved by its offset
// into common coordinates, intersected with every earlier one (both become
// empty when two do not overlap) and moved back.
void overlapRects(OverlapRect* rects, int n);

}  // namespace veyra
