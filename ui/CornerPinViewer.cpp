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

int32 CornerPinViewer::hitHandle(const ADMPoint& p) const {
  for (int i = 0; i < 4; ++i) {
    const ADMPoint c = handleCenter(i);
    if (c.h - kHandleHalf <= p.h && p.h < c.h + kHandleHalf && c.v - kHandleHalf <= p.v &&
        p.v < c.v + kHandleHalf)
      return i;
  }
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

  for (int i = 0; i < 4; ++i) {
    const ADMPoint c = outline[i];
    const ADMRect square{c.h - kHandleHalf, c.v - kHandleHalf, c.h + kHandleHalf, c.v + kHandleHalf};
    drawer.setADMColor(kADMBlackColor);
    drawer.frameRect(square);
    drawer.setADMColor(i == active_ ? kADMRedColor : kADMWhiteColor);
    drawer.frameRect(inset(square, 1));
    drawer.setADMColor(kADMBlackColor);
    drawer.frameRect(inset(square, 2));
  }
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
      if ((mods & kResetModifier) != 0) {
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
