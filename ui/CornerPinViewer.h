// The preview with the four-corner pin: draws the pinned quadrilateral and a
// square handle at each corner, and lets the user hover, drag and reset the
// corners. Emits "changed" after any change of the corners.
#pragma once

#include "ui/Viewer.h"

namespace veyra {

class CornerPinViewer : public Viewer {
 public:
  static constexpr int32 kHandleHalf = 7;
  // Modifier flags of the reset gestures: one corner, all four. Ctrl resets
  // as Alt does, for window managers that take Alt with a click for
  // themselves.
  static constexpr ADMModifiers kResetModifier = kADMAltKeyModifier;
  static constexpr ADMModifiers kResetAlternativeModifier = kADMControlKeyModifier;
  static constexpr ADMModifiers kResetAllModifier = kADMShiftKeyModifier;

  CornerPinViewer(ADM::Dialog* dialog, int32 itemID, const ADMRect& bounds, FilterRecord* record);

  // The eight values UL x, UL y, UR x, UR y, LR x, LR y, LL x, LL y, in units
  // of the image rectangle.
  void setCorners(const double corners[8]);
  const double* corners() const { return corners_; }
  int32 activeHandle() const { return active_; }

  // The handle centre of corner i in item coordinates.
  ADMPoint handleCenter(int corner) const;
  // Whether corner i's handle centre lies outside the item, where it cannot
  // be seen or grabbed; such a corner shows a marker on the item's edge.
  bool outsideView(int corner) const;
  // Corner i's handle centre held inside the item, a handle's half from its
  // edges: where the marker of a corner outside the item is drawn.
  ADMPoint markerCenter(int corner) const;
  // The first corner whose handle square holds the point, else the first
  // corner outside the item whose marker holds it, or -1.
  int32 hitHandle(const ADMPoint& p) const;

  void draw(ADM::Drawer& drawer) override;
  // Hover, press, drag and leave; always reports the event as not consumed.
  bool track(ADM::Tracker& tracker) override;

 private:
  static void drawHandle(ADM::Drawer& drawer, const ADMPoint& centre, bool active);
  void redraw();
  void changed();

  double corners_[8] = {0.0, 0.0, 1.0, 0.0, 1.0, 1.0, 0.0, 1.0};
  int32 active_ = -1;
};

}  // namespace veyra
