// A colour swatch: a picture push button filled with its RGB colour that
// lets the user choose another colour.
#pragma once

#include "adm/Item.h"

namespace ADM {

class ColorPot : public Item {
 public:
  // Creates the swatch with the colour white.
  ColorPot(Dialog* dialog, int32 itemID, const ADMRect& rect);

  // Stores the colour and invalidates the item.
  void setColor(const ADMRGBColor& color);
  // The stored colour.
  const ADMRGBColor& color() const { return color_; }

  // Default drawing, then the local rectangle filled with the colour.
  void draw(Drawer& drawer) override;
  // Default handling; on a user change, chooseColor on the stored colour and,
  // when it answers true, invalidate and emit "changed" (argument: this pot).
  void notify(Notifier& notifier) override;
  // Slot 13: opens the dialog manager's colour chooser at the item's top-left
  // corner; stores the chosen colour and answers true when the user confirmed.
  virtual bool chooseColor(ADMRGBColor& color);

 private:
  ADMRGBColor color_{65535, 65535, 65535};
};

}  // namespace ADM
