// A host dialog as an object: the host's drawing, tracking, notification and
// destruction calls reach its virtual operations.
#pragma once

#include <string>

#include "adm/ADMSuites.h"
#include "adm/CallbackObject.h"
#include "adm/Wrappers.h"

namespace ADM {

class Dialog : public CallbackObject {
 public:
  // Has the host create the dialog (plug-in reference of the current suite
  // set, name or empty text, id, style, this object as user data, options),
  // then installs the track procedure once more and adds bit 31 to the
  // dialog's pointer-event mask.
  Dialog(const char* name, int32 dialogID, ADMDialogStyle style, int32 options = 0);
  // Destroys the host dialog when there is one.
  ~Dialog() override;

  // Slot 1: runs the dialog modally; answers the id of the item that ended it.
  virtual int32 runModal();
  // Slot 2: the host's default dialog drawing.
  virtual void draw(Drawer& drawer);
  // Slot 3: emits "close" (argument: the notifier) on a close hit, then the
  // host's default handling.
  virtual void notify(Notifier& notifier);
  // Slot 4: called when the host destroys the dialog; does nothing.
  virtual void destroyed();
  // Slot 5: the host's default dialog tracking.
  virtual bool track(Tracker& tracker);
  // Slot 6: a hook that does nothing.
  virtual void hook(void* arg);

  // The host dialog handle (null before creation).
  ADMDialogRef ref() const { return ref_; }
  // Sets the title text.
  void setText(const char* title);
  // Moves the dialog's top-left corner to (x, y) on the screen.
  void moveTo(int32 x, int32 y);
  // Sizes the dialog's inside to width x height.
  void sizeTo(int32 width, int32 height);
  // The dialog's bounds rectangle (screen coordinates).
  ADMRect boundsRect() const;
  // The dialog's local rectangle (0, 0, width, height).
  ADMRect localRect() const;
  // Ends the modal run as if the item had been pressed.
  void endModal(int32 itemID, bool cancelled = false);
  // Sets the item that Enter presses and the item that a close or Escape
  // presses (0: none).
  void setDefaultItemID(int32 id);
  void setCancelItemID(int32 id);

 private:
  static ADMErr initProc(ADMDialogRef dialog);
  static void notifyProc(ADMDialogRef dialog, ADMNotifierRef notifier);
  static ADMBoolean trackProc(ADMDialogRef dialog, ADMTrackerRef tracker);
  static void drawProc(ADMDialogRef dialog, ADMDrawerRef drawer);
  static void destroyProc(ADMDialogRef dialog);

  ADMDialogRef ref_ = nullptr;
};

}  // namespace ADM
