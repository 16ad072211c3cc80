// A picture button showing the plug-in's dropper icon. It does nothing when
// pressed.
#pragma once

#include "adm/Button.h"

namespace veyra {

class EyeDropper : public ADM::Button {
 public:
  EyeDropper(ADM::Dialog* dialog, int32 itemID, const ADMRect& rect);
  // Frees the icon through the icon suite.
  ~EyeDropper() override;

  // The button face, then the icon centred in the item.
  void draw(ADM::Drawer& drawer) override;
  // The host's default handling only: a press emits nothing.
  void notify(ADM::Notifier& notifier) override;

  ADMIconRef icon() const { return icon_; }
  int32 iconWidth() const { return iconWidth_; }
  int32 iconHeight() const { return iconHeight_; }

 private:
  ADMIconRef icon_ = nullptr;
  int32 iconWidth_ = 0;
  int32 iconHeight_ = 0;
};

}  // namespace veyra
