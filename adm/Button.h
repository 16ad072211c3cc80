// Push buttons, check boxes and radio buttons, with text or a picture.
#pragma once

#include "adm/Item.h"

namespace ADM {

class Button : public Item {
 public:
  enum Style {
    kTextPushButton = 0,
    kTextCheckBox = 1,
    kTextRadioButton = 2,
    kPicturePushButton = 3,
    kPictureCheckBox = 4,
    kPictureRadioButton = 5
  };
  // The host item type of a style (null for an unknown style).
  static const char* itemType(int style);

  // Creates the button of the style with the text; a rectangle of zero width
  // is replaced by the host's best size.
  Button(Dialog* dialog, int32 itemID, const char* text, const ADMRect& rect,
         int style = kTextPushButton);
  // Creates a button of a host item type named directly, without text.
  Button(Dialog* dialog, int32 itemID, const ADMRect& rect, const char* itemType);

  // Sets the check or radio state.
  void setOn(bool on) { setBooleanValue(on); }
  // The check or radio state.
  bool isOn() const { return booleanValue(); }

  // Emits "select" (argument: the notifier) on a user change, before the
  // host's default handling.
  void notify(Notifier& notifier) override;
};

}  // namespace ADM
