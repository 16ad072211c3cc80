#include "ui/EyeDropper.h"

#include "adm/SuiteSet.h"

namespace veyra {

namespace {
constexpr const char* kDropperName = "IDB_DROPPER";
constexpr int32 kDropperId = 106;
}  // namespace

EyeDropper::EyeDropper(ADM::Dialog* dialog, int32 itemID, const ADMRect& rect)
    : ADM::Button(dialog, itemID, rect, kADMPicturePushButtonType) {
  // A missing icon suite or resource leaves the button blank.
  ADM::IconSuiteScope icons;
  ADM::SuiteSet* set = ADM::SuiteSet::current();
  if (icons.suite() != nullptr && set != nullptr) {
    icon_ = icons.suite()->GetFromResource(set->plugin(), kDropperName, kDropperId, 0);
    if (icon_ != nullptr) {
      iconWidth_ = icons.suite()->GetWidth(icon_);
      iconHeight_ = icons.suite()->GetHeight(icon_);
    }
  }
}

EyeDropper::~EyeDropper() {
  if (icon_ == nullptr) return;
  ADM::IconSuiteScope icons;
  if (icons.suite() != nullptr) icons.suite()->Destroy(icon_);
  icon_ = nullptr;
}

void EyeDropper::draw(ADM::Drawer& drawer) {
  defaultDraw(drawer);
  if (icon_ != nullptr) drawer.drawIconCentered(icon_, localRect());
}

void EyeDropper::notify(ADM::Notifier& notifier) { defaultNotify(notifier); }

}  // namespace veyra
