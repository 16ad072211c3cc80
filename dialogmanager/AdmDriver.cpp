// The dialog manager's process-wide state and the driver through which
// tests operate dialogs as a user would.
#include <algorithm>
#include <cstring>

#include "dialogmanager/AdmModel.h"

namespace veyra::dialogmanager {

HostState& hostState() {
  static HostState state;
  return state;
}

void setHeadlessScreen(const ADMRect& screen) { hostState().headlessScreen = screen; }

bool pickColor(const char* prompt, const unsigned8 in[3], unsigned8 out[3]) {
  ADMRGBColor color{static_cast<unsigned16>(in[0] * 257), static_cast<unsigned16>(in[1] * 257),
                    static_cast<unsigned16>(in[2] * 257)};
  if (!runColorChooser(prompt, color)) return false;
  out[0] = static_cast<unsigned8>(color.red >> 8);
  out[1] = static_cast<unsigned8>(color.green >> 8);
  out[2] = static_cast<unsigned8>(color.blue >> 8);
  return true;
}

void setModalDriver(std::function<void(ADMDialogRef)> driver) {
  hostState().modalDriver = std::move(driver);
}

std::vector<ADMDialogRef> liveDialogs() { return hostState().dialogs; }

ADMItemRef findItem(ADMDialogRef dialog, int32 itemID, const char* itemType, int n) {
  if (!dialog) return nullptr;
  for (auto& item : dialog->items) {
    if (item->id != itemID) continue;
    if (itemType && item->typeName != itemType) continue;
    if (n-- == 0) return item.get();
  }
  return nullptr;
}

std::vector<ADMItemRef> items(ADMDialogRef dialog) {
  std::vector<ADMItemRef> out;
  if (dialog)
    for (auto& item : dialog->items) out.push_back(item.get());
  return out;
}

ADMBoolean sendPointer(ADMItemRef item, ADMAction action, ADMPoint point, ADMModifiers modifiers) {
  if (!item) return 0;
  ADMTracker tracker;
  tracker.action = action;
  tracker.modifiers = modifiers;
  tracker.point = point;
  ADMBoolean result = trackItem(*item, tracker);
  if (item->view) item->view->refresh();  // a window mirrors what the event changed
  return result;
}

void click(ADMItemRef item, ADMModifiers modifiers) {
  if (!item || !item->enabled || !item->visible) return;
  ADMRect r = item->localRect();
  ADMPoint centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  item->pendingUserChange = false;
  sendPointer(item, kADMButtonDownAction, centre, modifiers | kADMButtonHeldModifier);
  sendPointer(item, kADMButtonUpAction, centre, modifiers);
  finishUserAction(*item);
}

void dragSlider(ADMItemRef item, const std::vector<float>& values) {
  if (!item || values.empty() || !item->enabled || !item->visible) return;
  item->pendingUserChange = false;
  auto event = [item](ADMAction action, float value) {
    ADMTracker tracker;
    tracker.action = action;
    tracker.modifiers = action == kADMButtonUpAction ? 0 : kADMButtonHeldModifier;
    // The point stands for the value on the track; the value itself rides
    // along so that the slider lands on it exactly.
    float span = item->maxValue - item->minValue;
    float t = span > 0 ? (value - item->minValue) / span : 0.0f;
    int32 w = item->bounds.right - item->bounds.left;
    tracker.point = ADMPoint{static_cast<int32>(std::clamp(t, 0.0f, 1.0f) * static_cast<float>(std::max(0, w - 1))),
                             (item->bounds.bottom - item->bounds.top) / 2};
    tracker.hasValue = true;
    tracker.value = value;
    trackItem(*item, tracker);
    if (item->view) item->view->refresh();
  };
  event(kADMButtonDownAction, values.front());
  for (std::size_t i = 1; i < values.size(); ++i) event(kADMMouseMovedDownAction, values[i]);
  event(kADMButtonUpAction, values.back());
  finishUserAction(*item);
}

void enterText(ADMItemRef item, const std::string& text) {
  if (!item || !item->enabled || !isEditable(item->kind)) return;
  item->text = text;
  if (item->view) item->view->refresh();
  notifyItem(*item, kADMUserChangedNotifier);
}

void setFocus(ADMItemRef item, bool focused) {
  if (!item || !isEditable(item->kind)) return;
  notifyItem(*item, focused ? kADMActivateWindowNotifier : kADMDeactivateWindowNotifier);
}

void choosePopup(ADMItemRef item, int32 position) {
  if (!item || !item->enabled || item->kind != ItemKind::PopupList) return;
  ADMRect r = item->localRect();
  ADMPoint centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  sendPointer(item, kADMButtonDownAction, centre, kADMButtonHeldModifier);
  choosePopupEntry(*item, position);
}

void closeWindow(ADMDialogRef dialog) {
  if (dialog) notifyDialog(*dialog, kADMCloseHitNotifier);
}

DrawRecord draw(ADMItemRef item) {
  DrawRecord record;
  if (!item) return record;
  ADMDrawer drawer;
  drawer.mode = ADMDrawer::Mode::Record;
  drawer.bounds = item->localRect();
  drawer.record = &record;
  drawItem(*item, drawer);
  return record;
}

long drawCount(ADMItemRef item) { return item ? item->drawCount : 0; }

const DrawRecord& lastDraw(ADMItemRef item) {
  static const DrawRecord kEmpty;
  return item ? item->lastDraw : kEmpty;
}

void setFileDialogAnswer(std::optional<std::string> path) { hostState().fileAnswer = std::move(path); }
const std::vector<FileDialogRequest>& fileDialogRequests() { return hostState().fileRequests; }
void setColorChooserAnswer(std::optional<ADMRGBColor> color) { hostState().colorAnswer = color; }
int colorChooserCalls() { return hostState().colorCalls; }
const std::vector<std::string>& messageAlerts() { return hostState().alerts; }

void resetDriver() {
  HostState& s = hostState();
  s.modalDriver = nullptr;
  s.fileAnswer.reset();
  s.fileRequests.clear();
  s.colorAnswer.reset();
  s.colorCalls = 0;
  s.alerts.clear();
}

}  // namespace veyra::dialogmanager
