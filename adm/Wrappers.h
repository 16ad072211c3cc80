// Thin wrappers over the host's drawer, tracker and notifier handles, passed
// to the virtual operations of dialogs and items.
#pragma once

#include "adm/ADMSuites.h"

namespace ADM {

// Drawing into an item or dialog, in its local coordinates.
class Drawer {
 public:
  explicit Drawer(ADMDrawerRef ref) : ref_(ref) {}
  ADMDrawerRef ref() const { return ref_; }
  // The platform port (for the filter record's pixel display service).
  ADMPortRef port() const;
  // The rectangle being drawn, in local coordinates.
  ADMRect boundsRect() const;
  // Sets the colour to one of the host's standard colours (kADMBlackColor...).
  void setADMColor(ADMColor color);
  // Sets the colour to an RGB value of three 16-bit components.
  void setRGBColor(const ADMRGBColor& color);
  // Outlines the rectangle.
  void frameRect(const ADMRect& rect);
  // Fills the rectangle.
  void fillRect(const ADMRect& rect);
  // Draws the outline through the points in order.
  void framePolygon(const ADMPoint* points, int count);
  // Draws an icon centred in the rectangle.
  void drawIconCentered(ADMIconRef icon, const ADMRect& rect);
  // Draws an icon with its top-left corner at the point.
  void drawIcon(ADMIconRef icon, const ADMPoint& topLeft);

 private:
  ADMDrawerRef ref_;
};

// One pointer event delivered to an item or dialog.
class Tracker {
 public:
  explicit Tracker(ADMTrackerRef ref) : ref_(ref) {}
  ADMTrackerRef ref() const { return ref_; }
  // The action (kADMButtonDownAction...).
  ADMAction action() const;
  // The modifier flags (kADMAltKeyModifier 0x20, kADMShiftKeyModifier 0x40...).
  ADMModifiers modifiers() const;
  // The pointer position in local coordinates.
  ADMPoint point() const;

 private:
  ADMTrackerRef ref_;
};

// One notification delivered to an item or dialog.
class Notifier {
 public:
  explicit Notifier(ADMNotifierRef ref) : ref_(ref) {}
  ADMNotifierRef ref() const { return ref_; }
  // Answers whether the notification is of the named type (kADMUserChangedNotifier...).
  bool isNotifierType(const char* type) const;

 private:
  ADMNotifierRef ref_;
};

// Rectangle helpers.
inline int width(const ADMRect& r) { return r.right - r.left; }
inline int height(const ADMRect& r) { return r.bottom - r.top; }
inline ADMRect makeRect(int left, int top, int right, int bottom) {
  return ADMRect{left, top, right, bottom};
}

}  // namespace ADM
