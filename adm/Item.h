// A host dialog item as an object: the host's drawing, tracking and
// notification calls reach its virtual operations.
#pragma once

#include <string>

#include "adm/ADMSuites.h"
#include "adm/CallbackObject.h"
#include "adm/Wrappers.h"

namespace ADM {

class Dialog;

class Item : public CallbackObject {
 public:
  // Has the host create an item of the type in the dialog at the bounds
  // rectangle (dialog coordinates), with this object as its user data.
  Item(Dialog* dialog, int32 itemID, const char* itemType, const ADMRect& bounds,
       int32 options = 0);
  // Empties the connection list, then destroys the host item.
  ~Item() override;

  // Slot 1: makes the item visible, then invalidates it.
  virtual void show();
  // Slot 2: hides the item.
  virtual void hide();
  // Slot 3: sets the host item's integer value (pass-through).
  virtual void setIntValue(int32 value);
  // Slot 4: sets the bounds rectangle (dialog coordinates).
  virtual void setBoundsRect(const ADMRect& rect);
  // Slot 5: moves the item's top-left corner to (x, y).
  virtual void moveTo(int32 x, int32 y);
  // Slot 6: sizes the item to width x height.
  virtual void sizeTo(int32 width, int32 height);
  // Slot 7: pointer tracking; the host's default tracking. Answers whether
  // the event was consumed.
  virtual bool track(Tracker& tracker);
  // Slot 8: called from the host's item creation; does nothing.
  virtual void created();
  // Slot 9: the host's default item drawing.
  virtual void draw(Drawer& drawer);
  // Slot 10: the host's default notification handling.
  virtual void notify(Notifier& notifier);
  // Slot 11: a hook without arguments that does nothing.
  virtual void hook();
  // Slot 12: a one-argument hook that does nothing.
  virtual void hook(void* arg);

  // The host item handle (null when the host refused to create it).
  ADMItemRef ref() const { return ref_; }
  // The dialog that owns the item.
  Dialog* dialog() const { return dialog_; }

  // Sets the text (null: empty text).
  void setText(const char* text);
  // The text.
  std::string text() const;
  // Sets the float value; emits "changed" (no argument) when notify is true.
  void setFloatValue(float value, bool notify = false);
  // The float value.
  float floatValue() const;
  // Sets the float range.
  void setFloatRange(float minimum, float maximum);
  // Sets the on state of check boxes and radio buttons.
  void setBooleanValue(bool on);
  // The on state.
  bool booleanValue() const;
  // Enables or disables the item.
  void enable(bool enabled);
  // Answers whether the item is enabled.
  bool isEnabled() const;
  // Answers whether the item is visible.
  bool isVisible() const;
  // The local rectangle (0, 0, width, height).
  ADMRect localRect() const;
  // The bounds rectangle in dialog coordinates.
  ADMRect boundsRect() const;
  // The size the host needs for the item's text (h = width, v = height).
  ADMPoint bestSize() const;
  // The item id.
  int32 id() const;
  // Marks the item for redrawing.
  void invalidate();
  // Redraws the item at once when it is invalid.
  void update();
  // Sets the pointer events delivered to track (kADMButtonDownMask...).
  void setMask(ADMActionMask mask);
  // The pointer-event mask.
  ADMActionMask mask() const;
  // Sets the text justification (kADMLeftJustify...).
  void setJustify(ADMJustify justify);
  // Sets the host item style (kADMNumericEditStyle...).
  void setItemStyle(int32 style);
  // The tip the host shows while the pointer rests on the item.
  void setTipString(const char* tip);

 protected:
  // The host's default behaviours, for overrides that add to them.
  bool defaultTrack(Tracker& tracker);
  void defaultDraw(Drawer& drawer);
  void defaultNotify(Notifier& notifier);

 private:
  static ADMErr initProc(ADMItemRef item);
  static void notifyProc(ADMItemRef item, ADMNotifierRef notifier);
  static ADMBoolean trackProc(ADMItemRef item, ADMTrackerRef tracker);
  static void drawProc(ADMItemRef item, ADMDrawerRef drawer);

  Dialog* dialog_;
  ADMItemRef ref_ = nullptr;
};

}  // namespace ADM
