// Event routing and default behaviours of the dialog manager, shared by the
// FLTK views and the test driver.
#include "dialogmanager/AdmModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace veyra::dialogmanager {

namespace {

struct KindName {
  const char* name;
  ItemKind kind;
};

const KindName kKindNames[] = {
    {kADMTextPushButtonType, ItemKind::TextPushButton},
    {kADMTextCheckBoxType, ItemKind::TextCheckBox},
    {kADMTextRadioButtonType, ItemKind::TextRadioButton},
    {kADMPicturePushButtonType, ItemKind::PicturePushButton},
    {kADMPictureCheckBoxType, ItemKind::PictureCheckBox},
    {kADMPictureRadioButtonType, ItemKind::PictureRadioButton},
    {kADMTextEditType, ItemKind::TextEdit},
    {kADMTextEditMultiLineType, ItemKind::TextEditMultiLine},
    {kADMTextStaticType, ItemKind::TextStatic},
    {kADMTextStaticMultiLineType, ItemKind::TextStaticMultiLine},
    {kADMPasswordTextEditType, ItemKind::PasswordTextEdit},
    {kADMItemGroupType, ItemKind::ItemGroup},
    {kADMPopupListType, ItemKind::PopupList},
    {kADMSliderType, ItemKind::Slider},
    {kADMFrameType, ItemKind::Frame},
    {kADMPictureStaticType, ItemKind::PictureStatic},
};

bool inside(const ADMItem& item, ADMPoint p) {
  ADMRect r = item.localRect();
  return p.h >= r.left && p.h < r.right && p.v >= r.top && p.v < r.bottom;
}

// Slider value for a local pointer position: the track spans the item's width.
float sliderValueAt(const ADMItem& item, int32 h) {
  int32 w = item.bounds.right - item.bounds.left;
  if (w <= 1) return item.minValue;
  float t = static_cast<float>(h) / static_cast<float>(w - 1);
  t = std::clamp(t, 0.0f, 1.0f);
  return item.minValue + (item.maxValue - item.minValue) * t;
}

}  // namespace

bool itemKindFromName(const char* name, ItemKind* kind) {
  if (!name) return false;
  for (const KindName& k : kKindNames) {
    if (std::strcmp(k.name, name) == 0) {
      *kind = k.kind;
      return true;
    }
  }
  return false;
}

bool isPushButton(ItemKind k) {
  return k == ItemKind::TextPushButton || k == ItemKind::PicturePushButton;
}
bool isCheckBox(ItemKind k) { return k == ItemKind::TextCheckBox || k == ItemKind::PictureCheckBox; }
bool isRadioButton(ItemKind k) {
  return k == ItemKind::TextRadioButton || k == ItemKind::PictureRadioButton;
}
bool isEditable(ItemKind k) {
  return k == ItemKind::TextEdit || k == ItemKind::TextEditMultiLine ||
         k == ItemKind::PasswordTextEdit;
}

void setRadioOn(ADMItem& item) {
  if (item.dialog) {
    for (auto& other : item.dialog->items) {
      if (other.get() != &item && isRadioButton(other->kind) && other->group == item.group &&
          other->on) {
        other->on = false;
        if (other->view) other->view->refresh();
      }
    }
  }
  item.on = true;
  if (item.view) item.view->refresh();
}

ADMBoolean defaultTrackItem(ADMItem& item, ADMTracker& tracker) {
  // With a widget, the widget's own handling is the default.
  if (tracker.widgetDefault) return tracker.widgetDefault() ? 1 : 0;
  if (!item.enabled || !item.visible) return 0;
  switch (item.kind) {
    case ItemKind::TextPushButton:
    case ItemKind::TextCheckBox:
    case ItemKind::TextRadioButton:
    case ItemKind::PicturePushButton:
    case ItemKind::PictureCheckBox:
    case ItemKind::PictureRadioButton:
      if (tracker.action == kADMButtonDownAction) {
        item.pressed = true;
        return 1;
      }
      if (tracker.action == kADMMouseMovedDownAction) return item.pressed ? 1 : 0;
      if (tracker.action == kADMButtonUpAction && item.pressed) {
        item.pressed = false;
        if (!inside(item, tracker.point)) return 1;  // released outside: no press
        if (isCheckBox(item.kind)) item.on = !item.on;
        if (isRadioButton(item.kind)) setRadioOn(item);
        item.pendingUserChange = true;
        return 1;
      }
      return 0;
    case ItemKind::Slider:
      if (tracker.action == kADMButtonDownAction || tracker.action == kADMMouseMovedDownAction) {
        item.pressed = true;
        item.value = tracker.hasValue ? std::clamp(tracker.value, item.minValue, item.maxValue)
                                      : sliderValueAt(item, tracker.point.h);
        return 1;
      }
      if (tracker.action == kADMButtonUpAction && item.pressed) {
        item.pressed = false;
        item.pendingUserChange = true;
        return 1;
      }
      return 0;
    case ItemKind::PopupList:
    case ItemKind::TextEdit:
    case ItemKind::TextEditMultiLine:
    case ItemKind::PasswordTextEdit:
      return tracker.action == kADMButtonDownAction ? 1 : 0;
    default:
      return 0;
  }
}

ADMBoolean trackItem(ADMItem& item, ADMTracker& tracker) {
  if (item.trackProc && (item.mask & ADM_ACTION_BIT(tracker.action)))
    return item.trackProc(&item, &tracker);
  return defaultTrackItem(item, tracker);
}

void defaultNotifyItem(ADMItem& item, ADMNotifier& notifier) {
  // Pressing the dialog's default or cancel push button ends its modal run.
  if (std::strcmp(notifier.type, kADMUserChangedNotifier) == 0 && isPushButton(item.kind) &&
      item.dialog && item.id != 0) {
    ADMDialog& d = *item.dialog;
    if (item.id == d.defaultItem) endModal(d, item.id, false);
    else if (item.id == d.cancelItem) endModal(d, item.id, true);
  }
}

void notifyItem(ADMItem& item, const char* type) {
  ADMNotifier n;
  n.type = type;
  n.item = &item;
  n.dialog = item.dialog;
  if (item.notifyProc) item.notifyProc(&item, &n);
  else defaultNotifyItem(item, n);
}

void defaultNotifyDialog(ADMDialog& dialog, ADMNotifier& notifier) {
  if (std::strcmp(notifier.type, kADMCloseHitNotifier) == 0)
    endModal(dialog, dialog.cancelItem, true);
}

void notifyDialog(ADMDialog& dialog, const char* type) {
  ADMNotifier n;
  n.type = type;
  n.dialog = &dialog;
  if (dialog.notifyProc) dialog.notifyProc(&dialog, &n);
  else defaultNotifyDialog(dialog, n);
}

void choosePopupEntry(ADMItem& item, int32 position) {
  ADMList* list = item.list.get();
  if (!list || position < 0 || position >= static_cast<int32>(list->entries.size())) return;
  list->active = position;
  if (item.view) item.view->refresh();
  ADMEntry* entry = list->entries[static_cast<std::size_t>(position)].get();
  if (list->notifyProc) {
    ADMNotifier n;
    n.type = kADMUserChangedNotifier;
    n.item = &item;
    n.dialog = item.dialog;
    n.entry = entry;
    list->notifyProc(entry, &n);
  } else {
    notifyItem(item, kADMUserChangedNotifier);
  }
}

void finishUserAction(ADMItem& item) {
  if (!item.pendingUserChange) return;
  item.pendingUserChange = false;
  notifyItem(item, kADMUserChangedNotifier);
}

void drawItem(ADMItem& item, ADMDrawer& drawer) {
  if (item.drawProc) {
    item.drawProc(&item, &drawer);
  } else if (drawer.widgetDefault) {
    drawer.widgetDefault();
  } else if (drawer.record) {
    drawer.record->push_back(DrawOp{DrawOp::DefaultDraw, drawer.color, drawer.bounds, {}, {}, {}});
  }
}

void endModal(ADMDialog& dialog, int32 itemID, bool cancelled) {
  if (dialog.ended) return;  // the first end of a run wins
  dialog.ended = true;
  dialog.cancelled = cancelled;
  dialog.result = itemID;
}


std::string numberForDisplay(const std::string& text, int32 precision, int32 width) {
  const char* begin = text.c_str();
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  while (end && (*end == ' ' || *end == '\t')) ++end;
  if (end == begin || !end || *end != '\0' || !std::isfinite(value)) return text;
  for (int decimals = std::clamp<int32>(precision, 0, 20);; --decimals) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string shown = buffer;
    if (shown.find('.') != std::string::npos) {
      while (shown.back() == '0') shown.pop_back();
      if (shown.back() == '.') shown.pop_back();
    }
    if (shown == "-0") shown = "0";
    if (decimals == 0 || static_cast<int32>(shown.size()) <= width) return shown;
  }
}

ADMRGBColor standardColor(ADMColor color) {
  auto rgb = [](unsigned r, unsigned g, unsigned b) {
    return ADMRGBColor{static_cast<unsigned16>(r * 257), static_cast<unsigned16>(g * 257),
                       static_cast<unsigned16>(b * 257)};
  };
  // One neutral palette around the window face, so that what items paint in
  // the background colour is the window itself and nothing casts a tint on
  // the pictures shown between them.
  const unsigned face = kFaceGray;
  switch (color) {
    case kADMBlackColor: return rgb(0, 0, 0);
    case kADMWhiteColor: return rgb(255, 255, 255);
    case kADMHiliteColor: return rgb(kAccentRed, kAccentGreen, kAccentBlue);
    case kADMHiliteTextColor: return rgb(255, 255, 255);
    case kADMLightColor: return rgb(250, 250, 250);
    case kADMBackgroundColor: return rgb(face, face, face);
    case kADMShadowColor: return rgb(150, 150, 150);
    case kADMDisabledColor: return rgb(160, 160, 160);
    case kADMButtonUpColor: return rgb(face, face, face);
    case kADMButtonDownColor: return rgb(face - 24, face - 24, face - 24);
    case kADMTextColor: return rgb(32, 32, 32);
    case kADMRedColor: return rgb(255, 0, 0);
    case kADMGreenColor: return rgb(0, 255, 0);
    case kADMBlueColor: return rgb(0, 0, 255);
    case kADMYellowColor: return rgb(255, 255, 0);
    case kADMGrayColor: return rgb(128, 128, 128);
    default: return rgb(0, 0, 0);
  }
}

}  // namespace veyra::dialogmanager

int32 ADMList::indexOf(const ADMEntry* entry) const {
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].get() == entry) return static_cast<int32>(i);
  return -1;
}

ADMItem::~ADMItem() { view.reset(); }

ADMDialog::~ADMDialog() {
  items.clear();  // widgets leave the window before it goes
  view.reset();
}

ADMItem* ADMDialog::find(int32 itemID) const {
  for (const auto& item : items)
    if (item->id == itemID) return item.get();
  return nullptr;
}
