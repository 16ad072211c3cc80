#include "adm/Edit.h"

#include "adm/SuiteSet.h"

namespace ADM {

const char* Edit::itemType(int style) {
  switch (style) {
    case kTextEdit: return kADMTextEditType;
    case kTextEditMultiLine: return kADMTextEditMultiLineType;
    case kTextStatic: return kADMTextStaticType;
    case kTextStaticMultiLine: return kADMTextStaticMultiLineType;
    case kNumericEdit: return kADMTextEditType;
    case kPasswordEdit: return kADMPasswordTextEditType;
    default: return nullptr;
  }
}

Edit::Edit(Dialog* dialog, int32 itemID, const ADMRect& rect, int style)
    : Item(dialog, itemID, itemType(style), rect) {
  if (style == kNumericEdit) setItemStyle(kADMNumericEditStyle);
}

void Edit::setPrecision(int32 digits) { sItem->SetPrecision(ref(), digits); }
void Edit::setDisplayWidth(int32 characters) { sItem->SetDisplayWidth(ref(), characters); }

bool Edit::track(Tracker& tracker) { return defaultTrack(tracker); }

void Edit::notify(Notifier& notifier) {
  defaultNotify(notifier);
  if (notifier.isNotifierType(kADMUserChangedNotifier) ||
      notifier.isNotifierType(kADMEntryTextChangedNotifier))
    emit(kChangedEvent, this, nullptr);
  else if (notifier.isNotifierType(kADMActivateWindowNotifier))
    emit(kGainFocusEvent, this, nullptr);
  else if (notifier.isNotifierType(kADMDeactivateWindowNotifier))
    emit(kLoseFocusEvent, this, nullptr);
}

}  // namespace ADM
