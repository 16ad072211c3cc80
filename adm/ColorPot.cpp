#include "adm/ColorPot.h"

#include "adm/SuiteSet.h"

namespace ADM {

ColorPot::ColorPot(Dialog* dialog, int32 itemID, const ADMRect& rect)
    : Item(dialog, itemID, kADMPicturePushButtonType, rect) {}

void ColorPot::setColor(const ADMRGBColor& color) {
  color_ = color;
  invalidate();
}

void ColorPot::draw(Drawer& drawer) {
  defaultDraw(drawer);
  drawer.setRGBColor(color_);
  drawer.fillRect(localRect());
}

void ColorPot::notify(Notifier& notifier) {
  defaultNotify(notifier);
  if (notifier.isNotifierType(kADMUserChangedNotifier)) {
    if (chooseColor(color_)) {
      invalidate();
      emit(kChangedEvent, this, this);
    }
  }
}

bool ColorPot::chooseColor(ADMRGBColor& color) {
  if (!sBasic || !sBasic->ChooseColor) return false;
  ADMRect bounds = boundsRect();
  ADMPoint where{bounds.left, bounds.top};
  ADMRGBColor chosen = color;
  if (!sBasic->ChooseColor(where, &color, &chosen)) return false;
  color = chosen;
  return true;
}

}  // namespace ADM
