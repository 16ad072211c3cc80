// Text fields: editable, static, numeric, password.
#pragma once

#include "adm/Item.h"

namespace ADM {

class Edit : public Item {
 public:
  enum Style {
    kTextEdit = 0,
    kTextEditMultiLine = 1,
    kTextStatic = 2,
    kTextStaticMultiLine = 3,
    kNumericEdit = 4,  // a text edit in the host's numeric style (code 2)
    kPasswordEdit = 5
  };
  // The host item type of a style (null for an unknown style).
  static const char* itemType(int style);

  // Creates the field of the style.
  Edit(Dialog* dialog, int32 itemID, const ADMRect& rect, int style = kTextEdit);

  // Sets the digits after the decimal point the host writes for float values.
  void setPrecision(int32 digits);
  // Sets the width in characters the field is laid out for.
  void setDisplayWidth(int32 characters);

  // The host's default tracking; its result is returned.
  bool track(Tracker& tracker) override;
  // Default handling, then "changed" on a user change or entry text change,
  // "gainFocus" / "loseFocus" on the activate / deactivate notifiers.
  void notify(Notifier& notifier) override;
};

}  // namespace ADM
