#include "host/Rect.h"

#include <algorithm>

namespace veyra {

void overlapRects(OverlapRect* rects, int n) {
  for (int i = 0; i < n; ++i) {
    VRect& r = *rects[i].rect;
    r.left += rects[i].dx;
    r.right += rects[i].dx;
    r.top += rects[i].dy;
    r.bottom += rects[i].dy;
  }
  for (int i = 1; i < n; ++i) {
    VRect& b = *rects[i].rect;
    for (int j = 0; j < i; ++j) {
      VRect& a = *rects[j].rect;
      VRect c = makeRect(std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom),
                         std::min(a.right, b.right));
      if (rectIsEmpty(c)) {
        // No common area: both become empty where they stand.
        a.right = a.left;
        a.bottom = a.top;
        b.right = b.left;
        b.bottom = b.top;
      } else {
        a = c;
        b = c;
      }
    }
  }
  for (int i = 0; i < n; ++i) {
    VRect& r = *rects[i].rect;
    r.left -= rects[i].dx;
    r.right -= rects[i].dx;
    r.top -= rects[i].dy;
    r.bottom -= rects[i].dy;
  }
}

}  // namespace veyra
