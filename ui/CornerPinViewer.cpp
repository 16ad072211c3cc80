#include "ui/CornerPinViewer.h"

#include <cstring>

namespace veyra {

namespace {

constexpr double kDefaultCorners[8] = {0.0, 0.0, 1.0, 0.0, 1.0, 1.0, 0.0, 1.0};
constexpr ADMRGBColor kOutlineGreen{0, 65535, 0};

ADMRect inset(const ADMRect& r, int32 d) { return ADMRect{r.left + d, r.top + d, r.right - d, r.bottom - d}; }

}  // namespace

CornerPinViewer::CornerPinViewer(ADM::Dialog* dialog, int32 itemID, const ADMRect& bounds,
                                 FilterRecord* record)
    : Viewer(dialog, itemID, bounds, record) {}

void CornerPinViewer::setCorners(const double corners[8]) { std::memcpy(corners_, corners, sizeof corners_); }

ADMPoint CornerPinViewer::handleCenter(int corner) const {
  const ADMRect& r = imageRect();
  // Computed in double and truncated toward zero, so a corner dragged above
  // or left of the image truncates towards the edge.
  const double x = r.left + (r.right - r.left) * corners_[2 * corner];
  const double y = r.top + (r.bottom - r.top) * corners_[2 * corner + 1];
  return ADMPoint{static_cast<int32>(x), static_cast<int32>(y)};
}

bool CornerPinViewer::outsideView(int corner) const {
  const ADMRect b = localRect();
  const ADMPoint c = handleCenter(corner);
  return c.h < b.left || c.h >= b.right || c.v < b.top || c.v >= b.bottom;
}

ADMPoint CornerPinViewer::markerCenter(int corner) const {
  const ADMRect b = localRect();
  const ADMPoint c = handleCenter(corner);
  const auto hold = [](int32 x, int32 low, int32 high) { return x < low ? low : (x > high ? high : x); };
  return ADMPoint{hold(c.h, b.left + kHandleHalf, b.right - kHandleHalf),
                  hold(c.v, b.top + kHandleHalf, b.bottom - kHandleHalf)};
}

namespace {
bool inSquare(const ADMPoint& c, const ADMPoint& p, int32 half) {
  return c.h - half <= p.h && p.h < c.h + half && c.v - half <= p.v && p.v < c.v + half;
}
}  // namespace

int32 CornerPinViewer::hitHandle(const ADMPoint& p) const {
  for (int i = 0; i < 4; ++i)
    if (inSquare(handleCenter(i), p, kHandleHalf)) return i;
  // A corner dragged out of the item stays reachable through its marker.
  for (int i = 0; i < 4; ++i)
    if (outsideView(i) && inSquare(markerCenter(i), p, kHandleHalf)) return i;
  return -1;
}

void CornerPinViewer::draw(ADM::Drawer& drawer) {
  const ADMRect b = localRect();
  const ADMRect& img = imageRect();
  drawer.setADMColor(kADMBackgroundColor);
  drawer.fillRect(ADMRect{0, 0, img.left, b.bottom});
  drawer.fillRect(ADMRect{img.right, 0, b.right, b.bottom});
  drawer.fillRect(ADMRect{img.left, 0, img.right, img.top});
  drawer.fillRect(ADMRect{img.left, img.bottom, img.right, b.bottom});

  drawFrameAndImage(drawer);

  ADMPoint outline[5];
  for (int i = 0; i < 4; ++i) outline[i] = handleCenter(i);
  outline[4] = outline[0];
  drawer.setRGBColor(kOutlineGreen);
  drawer.framePolygon(outline, 5);

  for (int i = 0; i < 4; ++i) drawHandle(drawer, outline[i], i == active_);
  // Markers of the corners outside the item: a handle on the edge, filled
  // with the outline's green, where the corner can be grabbed again.
  for (int i = 0; i < 4; ++i) {
    if (!outsideView(i)) continue;
    const ADMPoint c = markerCenter(i);
    drawer.setRGBColor(kOutlineGreen);
    drawer.fillRect(
        ADMRect{c.h - kHandleHalf + 3, c.v - kHandleHalf + 3, c.h + kHandleHalf - 3, c.v + kHandleHalf - 3});
    drawHandle(drawer, c, i == active_);
  }
}

void CornerPinViewer::drawHandle(ADM::Drawer& drawer, const ADMPoint& c, bool active) {
  const ADMRect square{c.h - kHandleHalf, c.v - kHandleHalf, c.h + kHandleHalf, c.v + kHandleHalf};
  drawer.setADMColor(kADMBlackColor);
  drawer.frameRect(square);
  drawer.setADMColor(active ? kADMRedColor : kADMWhiteColor);
  drawer.frameRect(inset(square, 1));
  drawer.setADMColor(kADMBlackColor);
  drawer.frameRect(inset(square, 2));
}

void CornerPinViewer::redraw() {
  invalidate();
  update();
}

void CornerPinViewer::changed() { emit(ADM::kChangedEvent, this, nullptr); }

bool CornerPinViewer::track(ADM::Tracker& tracker) {
  const ADMPoint p = tracker.point();
  switch (tracker.action()) {
    case kADMMouseMovedUpAction: {
      const int32 hit = hitHandle(p);
      if (hit != active_) {
        active_ = hit;
        redraw();
      }
      break;
    }
    case kADMButtonDownAction: {
      const int32 hit = hitHandle(p);
      if (hit < 0) break;
      const ADMModifiers mods = tracker.modifiers();
      if ((mods & (kResetModifier | kResetAlternativeModifier)) != 0) {
        if ((mods & kResetAllModifier) != 0) {
          std::memcpy(corners_, kDefaultCorners, sizeof corners_);
        } else {
          corners_[2 * hit] = kDefaultCorners[2 * hit];
          corners_[2 * hit + 1] = kDefaultCorners[2 * hit + 1];
        }
        active_ = -1;
        redraw();
        changed();
      } else {
        active_ = hit;
      }
      break;
    }
    case kADMMouseMovedDownAction: {
      if (active_ < 0) break;
      const ADMRect& r = imageRect();
      // An empty image rectangle (no preview) has no units to drag in; a
      // division by its zero size would store infinities in the parameters.
      if (r.right == r.left || r.bottom == r.top) break;
      // Deliberately unclamped: a corner may be dragged outside the image.
      corners_[2 * active_] = static_cast<double>(p.h - r.left) / static_cast<double>(r.right - r.left);
      corners_[2 * active_ + 1] = static_cast<double>(p.v - r.top) / static_cast<double>(r.bottom - r.top);
      redraw();
      changed();
      break;
    }
    case kADMLeaveAction:
      if (active_ >= 0) {
        active_ = -1;
        redraw();
      }
      break;
    default:
      break;
  }
  return false;
}

}  // namespace veyra
