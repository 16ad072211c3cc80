#include "adm/Button.h"

namespace ADM {

const char* Button::itemType(int style) {
  switch (style) {
    case kTextPushButton: return kADMTextPushButtonType;
    case kTextCheckBox: return kADMTextCheckBoxType;
    case kTextRadioButton: return kADMTextRadioButtonType;
    case kPicturePushButton: return kADMPicturePushButtonType;
    case kPictureCheckBox: return kADMPictureCheckBoxType;
    case kPictureRadioButton: return kADMPictureRadioButtonType;
    default: return nullptr;
  }
}

Button::Button(Dialog* dialog, int32 itemID, const char* text, const ADMRect& rect, int style)
    : Item(dialog, itemID, itemType(style), rect) {
  setText(text);
  if (rect.right - rect.left == 0) {
    ADMPoint best = bestSize();
    sizeTo(best.h, best.v);
  }
}

Button::Button(Dialog* dialog, int32 itemID, const ADMRect& rect, const char* itemType)
    : Item(dialog, itemID, itemType, rect) {}

void Button::notify(Notifier& notifier) {
  if (notifier.isNotifierType(kADMUserChangedNotifier)) emit(kSelectEvent, this, &notifier);
  defaultNotify(notifier);
}

}  // namespace ADM
