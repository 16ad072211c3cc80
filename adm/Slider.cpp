#include "adm/Slider.h"

namespace ADM {

Slider::Slider(Dialog* dialog, int32 itemID, const ADMRect& rect)
    : Item(dialog, itemID, kADMSliderType, rect) {}

bool Slider::track(Tracker& tracker) {
  bool handled = defaultTrack(tracker);
  if (handled && tracker.action() == kADMMouseMovedDownAction) emit(kTrackEvent, this, nullptr);
  return handled;
}

void Slider::notify(Notifier& notifier) {
  if (notifier.isNotifierType(kADMUserChangedNotifier)) emit(kChangedEvent, this, &notifier);
  defaultNotify(notifier);
}

}  // namespace ADM
