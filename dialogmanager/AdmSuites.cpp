// The dialog manager suites: C function tables over the dialog manager's
// state. No exception leaves a suite function: every allocation that can
// fail is caught and answered with a null handle.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "dialogmanager/AdmModel.h"

namespace veyra::dialogmanager {

namespace {

void copyText(const std::string& from, char* to, int32 maxLength) {
  if (!to || maxLength <= 0) return;
  std::size_t n = std::min(from.size(), static_cast<std::size_t>(maxLength - 1));
  std::memcpy(to, from.data(), n);
  to[n] = '\0';
}

void refresh(ADMItem* item) {
  if (item && item->view) item->view->refresh();
}

// ---- basic ------------------------------------------------------------------

void basicBeep() {}

void basicGetScreenDimensions(ADMRect* screen) {
  if (!screen) return;
  *screen = screenRect();
}

ADMBoolean basicStandardGetFileDialog(const char* prompt, const ADMFileFilter* filters,
                                      int32 filterCount, const char* startFolder, char* path,
                                      int32 pathSize) {
  try {
    FileDialogRequest request;
    request.prompt = prompt ? prompt : "";
    request.startFolder = startFolder ? startFolder : "";
    for (int32 i = 0; filters && i < filterCount; ++i)
      request.filters.emplace_back(filters[i].description ? filters[i].description : "",
                                   filters[i].pattern ? filters[i].pattern : "");
    std::optional<std::string> answer = runFileDialog(request);
    if (!answer || !path || pathSize <= 0) return 0;
    // A path that does not fit is refused rather than cut short.
    if (answer->size() + 1 > static_cast<std::size_t>(pathSize)) return 0;
    copyText(*answer, path, pathSize);
    return 1;
  } catch (...) {
    return 0;
  }
}

ADMBoolean basicChooseColor(ADMPoint, const ADMRGBColor* inColor, ADMRGBColor* outColor) {
  if (!inColor || !outColor) return 0;
  try {
    ADMRGBColor color = *inColor;
    if (!runColorChooser(nullptr, color)) return 0;
    *outColor = color;
    return 1;
  } catch (...) {
    return 0;
  }
}

void basicMessageAlert(const char* message) { runMessageAlert(message ? message : ""); }

const ADMBasicSuite5 kBasic = {basicBeep, basicGetScreenDimensions, basicStandardGetFileDialog,
                               basicChooseColor, basicMessageAlert};

// ---- dialog -----------------------------------------------------------------

ADMDialogRef dialogCreate(SPPluginRef plugin, const char* name, int32 dialogID,
                          ADMDialogStyle style, ADMDialogInitProc initProc, ADMUserData userData,
                          int32 options) {
  ADMDialog* d = nullptr;
  try {
    auto dialog = std::make_unique<ADMDialog>();
    dialog->plugin = plugin;
    dialog->name = name ? name : "";
    dialog->id = dialogID;
    dialog->style = style;
    dialog->userData = userData;
    dialog->options = options;
    if (displayBackend()) dialog->view = makeFltkDialogView(*dialog);
    d = dialog.release();
    hostState().dialogs.push_back(d);
  } catch (...) {
    return nullptr;
  }
  if (initProc && initProc(d) != kADMNoErr) {
    dialogDestroy(d);
    return nullptr;
  }
  return d;
}

}  // namespace

void dialogDestroy(ADMDialogRef dialog) {
  if (!dialog) return;
  auto& dialogs = hostState().dialogs;
  auto it = std::find(dialogs.begin(), dialogs.end(), dialog);
  if (it == dialogs.end()) return;  // not ours, or destroyed already
  dialogs.erase(it);
  std::unique_ptr<ADMDialog> owned(dialog);
  if (owned->destroyProc) owned->destroyProc(dialog);
  // Items still in the dialog go with it.
  while (!owned->items.empty()) itemDestroy(owned->items.back().get());
}

namespace {

int32 dialogModal(ADMDialogRef d) {
  if (!d) return 0;
  d->ended = false;
  d->cancelled = false;
  d->result = d->cancelItem;
  d->modal = true;
  d->visible = true;
  if (d->view) {
    runFltkModal(*d);
  } else {
    auto driver = hostState().modalDriver;  // a copy: the driver may replace itself
    if (driver) driver(d);
    if (!d->ended) endModal(*d, d->cancelItem, true);
  }
  d->modal = false;
  d->visible = false;
  return d->result;
}

void dialogEndModal(ADMDialogRef d, int32 itemID, ADMBoolean cancelled) {
  if (d) endModal(*d, itemID, cancelled != 0);
}

void dialogSetDrawProc(ADMDialogRef d, ADMDialogDrawProc p) { if (d) d->drawProc = p; }
void dialogDefaultDraw(ADMDialogRef d, ADMDrawerRef drawer) {
  if (!d || !drawer) return;
  if (drawer->widgetDefault) drawer->widgetDefault();
  else if (drawer->record)
    drawer->record->push_back(DrawOp{DrawOp::DefaultDraw, drawer->color, drawer->bounds, {}, {}, {}});
}
void dialogSetTrackProc(ADMDialogRef d, ADMDialogTrackProc p) { if (d) d->trackProc = p; }
ADMBoolean dialogDefaultTrack(ADMDialogRef, ADMTrackerRef) { return 0; }
void dialogSetNotifyProc(ADMDialogRef d, ADMDialogNotifyProc p) { if (d) d->notifyProc = p; }
void dialogDefaultNotify(ADMDialogRef d, ADMNotifierRef n) {
  if (d && n) defaultNotifyDialog(*d, *n);
}
void dialogSetDestroyProc(ADMDialogRef d, ADMDialogDestroyProc p) { if (d) d->destroyProc = p; }
void dialogSetUserData(ADMDialogRef d, ADMUserData u) { if (d) d->userData = u; }
ADMUserData dialogGetUserData(ADMDialogRef d) { return d ? d->userData : nullptr; }
SPPluginRef dialogGetPluginRef(ADMDialogRef d) { return d ? d->plugin : nullptr; }
int32 dialogGetID(ADMDialogRef d) { return d ? d->id : 0; }

void dialogSetText(ADMDialogRef d, const char* title) {
  if (!d) return;
  d->title = title ? title : "";
  if (d->view) d->view->refresh();
}
void dialogGetText(ADMDialogRef d, char* text, int32 max) { if (d) copyText(d->title, text, max); }

void dialogMove(ADMDialogRef d, int32 x, int32 y) {
  if (!d) return;
  int32 w = d->bounds.right - d->bounds.left, h = d->bounds.bottom - d->bounds.top;
  d->bounds = ADMRect{x, y, x + w, y + h};
  if (d->view) d->view->refresh();
}
void dialogSize(ADMDialogRef d, int32 width, int32 height) {
  if (!d) return;
  d->bounds.right = d->bounds.left + std::max<int32>(0, width);
  d->bounds.bottom = d->bounds.top + std::max<int32>(0, height);
  if (d->view) d->view->refresh();
}
void dialogGetLocalRect(ADMDialogRef d, ADMRect* r) {
  if (d && r) *r = ADMRect{0, 0, d->bounds.right - d->bounds.left, d->bounds.bottom - d->bounds.top};
}
void dialogGetBoundsRect(ADMDialogRef d, ADMRect* r) { if (d && r) *r = d->bounds; }
void dialogSetBoundsRect(ADMDialogRef d, const ADMRect* r) {
  if (!d || !r) return;
  d->bounds = *r;
  if (d->view) d->view->refresh();
}
void dialogSetDefaultItemID(ADMDialogRef d, int32 id) {
  if (!d) return;
  d->defaultItem = id;
  for (auto& item : d->items) refresh(item.get());  // the default button looks it
}
int32 dialogGetDefaultItemID(ADMDialogRef d) { return d ? d->defaultItem : 0; }
void dialogSetCancelItemID(ADMDialogRef d, int32 id) { if (d) d->cancelItem = id; }
int32 dialogGetCancelItemID(ADMDialogRef d) { return d ? d->cancelItem : 0; }
void dialogSetMask(ADMDialogRef d, ADMActionMask m) { if (d) d->mask = m; }
ADMActionMask dialogGetMask(ADMDialogRef d) { return d ? d->mask : 0; }
ADMItemRef dialogGetItem(ADMDialogRef d, int32 id) { return d ? d->find(id) : nullptr; }
void dialogShow(ADMDialogRef d, ADMBoolean show) {
  if (!d) return;
  d->visible = show != 0;
  if (d->view) {
    if (show) d->view->show();
    else d->view->hide();
  }
}
ADMBoolean dialogIsVisible(ADMDialogRef d) { return d && d->visible ? 1 : 0; }
void dialogInvalidate(ADMDialogRef d) { if (d && d->view) d->view->redraw(); }
void dialogUpdate(ADMDialogRef d) {
  if (!d) return;
  for (auto& item : d->items)
    if (item->invalid) itemUpdate(item.get());
}

const ADMDialogSuite5 kDialog = {
    dialogCreate,          dialogDestroy,          dialogModal,          dialogEndModal,
    dialogSetDrawProc,     dialogDefaultDraw,      dialogSetTrackProc,   dialogDefaultTrack,
    dialogSetNotifyProc,   dialogDefaultNotify,    dialogSetDestroyProc, dialogSetUserData,
    dialogGetUserData,     dialogGetPluginRef,     dialogGetID,          dialogSetText,
    dialogGetText,         dialogMove,             dialogSize,           dialogGetLocalRect,
    dialogGetBoundsRect,   dialogSetBoundsRect,    dialogSetDefaultItemID, dialogGetDefaultItemID,
    dialogSetCancelItemID, dialogGetCancelItemID,  dialogSetMask,        dialogGetMask,
    dialogGetItem,         dialogShow,             dialogIsVisible,      dialogInvalidate,
    dialogUpdate};

// ---- item -------------------------------------------------------------------

ADMItemRef itemCreate(ADMDialogRef dialog, int32 itemID, const char* itemType,
                      const ADMRect* bounds, ADMItemInitProc initProc, ADMUserData userData,
                      int32 options) {
  ItemKind kind;
  if (!dialog || !itemKindFromName(itemType, &kind)) return nullptr;
  (void)options;
  ADMItem* item = nullptr;
  try {
    auto owned = std::make_unique<ADMItem>();
    owned->dialog = dialog;
    owned->id = itemID;
    owned->kind = kind;
    owned->typeName = itemType;
    if (bounds) owned->bounds = *bounds;
    owned->userData = userData;
    if (kind == ItemKind::PopupList) {
      owned->list = std::make_unique<ADMList>();
      owned->list->item = owned.get();
    }
    if (kind == ItemKind::Slider) owned->maxValue = 100.0f;
    item = owned.get();
    dialog->items.push_back(std::move(owned));
    hostState().items.insert(item);
    if (dialog->view) item->view = dialog->view->createItemView(*item);
  } catch (...) {
    // Out of memory part way: undo what was done.
    if (item) {
      hostState().items.erase(item);
      auto& v = dialog->items;
      v.erase(std::remove_if(v.begin(), v.end(), [item](const std::unique_ptr<ADMItem>& p) { return p.get() == item; }),
              v.end());
    }
    return nullptr;
  }
  if (initProc && initProc(item) != kADMNoErr) {
    itemDestroy(item);
    return nullptr;
  }
  return item;
}

}  // namespace

void itemDestroy(ADMItemRef item) {
  // A handle whose item the host destroyed already (with its dialog) is ignored.
  if (!item || hostState().items.count(item) == 0 || !item->dialog) return;
  ADMDialog* d = item->dialog;
  auto it = std::find_if(d->items.begin(), d->items.end(),
                         [item](const std::unique_ptr<ADMItem>& p) { return p.get() == item; });
  if (it == d->items.end()) return;
  if (item->destroyProc) item->destroyProc(item);
  // Leave the group, and let the members leave this group.
  if (item->group) {
    auto& m = item->group->members;
    m.erase(std::remove(m.begin(), m.end(), item), m.end());
  }
  for (ADMItem* member : item->members) member->group = nullptr;
  std::unique_ptr<ADMItem> owned = std::move(*it);
  d->items.erase(it);
  hostState().items.erase(item);
}

void itemUpdate(ADMItemRef item) {
  if (!item) return;
  if (item->view) {
    item->view->redrawNow();
  } else if (item->invalid && item->visible) {
    // Without a window an update draws into a record that tests can read.
    item->lastDraw.clear();
    ADMDrawer drawer;
    drawer.mode = ADMDrawer::Mode::Record;
    drawer.bounds = item->localRect();
    drawer.record = &item->lastDraw;
    drawItem(*item, drawer);
    ++item->drawCount;
  }
  item->invalid = false;
}

namespace {

void itemSetDrawProc(ADMItemRef i, ADMItemDrawProc p) { if (i) i->drawProc = p; }
void itemDefaultDraw(ADMItemRef i, ADMDrawerRef drawer) {
  if (!i || !drawer) return;
  if (drawer->widgetDefault) drawer->widgetDefault();
  else if (drawer->record)
    drawer->record->push_back(DrawOp{DrawOp::DefaultDraw, drawer->color, drawer->bounds, {}, {}, {}});
}
void itemSetTrackProc(ADMItemRef i, ADMItemTrackProc p) { if (i) i->trackProc = p; }
ADMBoolean itemDefaultTrack(ADMItemRef i, ADMTrackerRef t) {
  return i && t ? defaultTrackItem(*i, *t) : 0;
}
void itemSetNotifyProc(ADMItemRef i, ADMItemNotifyProc p) { if (i) i->notifyProc = p; }
void itemDefaultNotify(ADMItemRef i, ADMNotifierRef n) { if (i && n) defaultNotifyItem(*i, *n); }
void itemSetDestroyProc(ADMItemRef i, ADMItemDestroyProc p) { if (i) i->destroyProc = p; }
void itemSetUserData(ADMItemRef i, ADMUserData u) { if (i) i->userData = u; }
ADMUserData itemGetUserData(ADMItemRef i) { return i ? i->userData : nullptr; }
int32 itemGetID(ADMItemRef i) { return i ? i->id : 0; }
ADMDialogRef itemGetDialog(ADMItemRef i) { return i ? i->dialog : nullptr; }
void itemGetItemType(ADMItemRef i, char* t, int32 max) { if (i) copyText(i->typeName, t, max); }

void itemSetText(ADMItemRef i, const char* text) {
  if (!i) return;
  i->text = text ? text : "";
  refresh(i);
}
void itemGetText(ADMItemRef i, char* text, int32 max) { if (i) copyText(i->text, text, max); }
int32 itemGetTextLength(ADMItemRef i) { return i ? static_cast<int32>(i->text.size()) : 0; }

void itemSetFloatValue(ADMItemRef i, ADMFloat v) {
  if (!i) return;
  if (isEditable(i->kind) || i->kind == ItemKind::TextStatic) {
    // Edit fields show the number with their precision.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", std::clamp<int32>(i->precision, 0, 20),
                  static_cast<double>(v));
    i->text = buffer;
  } else if (i->kind == ItemKind::Slider) {
    // NaN goes to the minimum, like any value below the range.
    v = !(v >= i->minValue) ? i->minValue : std::min(v, i->maxValue);
  }
  i->value = v;
  refresh(i);
}
ADMFloat itemGetFloatValue(ADMItemRef i) {
  if (!i) return 0.0f;
  if (isEditable(i->kind) || i->kind == ItemKind::TextStatic) {
    char* end = nullptr;
    double d = std::strtod(i->text.c_str(), &end);
    return end == i->text.c_str() ? 0.0f : static_cast<float>(d);
  }
  return i->value;
}
void itemSetMinFloatValue(ADMItemRef i, ADMFloat v) {
  if (!i) return;
  i->minValue = v;
  if (i->kind == ItemKind::Slider && !(i->value >= v)) i->value = v;
  refresh(i);
}
ADMFloat itemGetMinFloatValue(ADMItemRef i) { return i ? i->minValue : 0.0f; }
void itemSetMaxFloatValue(ADMItemRef i, ADMFloat v) {
  if (!i) return;
  i->maxValue = v;
  if (i->kind == ItemKind::Slider && i->value > v) i->value = v;
  refresh(i);
}
ADMFloat itemGetMaxFloatValue(ADMItemRef i) { return i ? i->maxValue : 0.0f; }
void itemSetIntValue(ADMItemRef i, int32 v) {
  if (!i) return;
  i->intValue = v;
  if (i->kind == ItemKind::PopupList && i->list && v >= 0 &&
      v < static_cast<int32>(i->list->entries.size()))
    i->list->active = v;
  refresh(i);
}
int32 itemGetIntValue(ADMItemRef i) {
  if (!i) return 0;
  if (i->kind == ItemKind::PopupList && i->list) return i->list->active;
  return i->intValue;
}
void itemSetBooleanValue(ADMItemRef i, ADMBoolean v) {
  if (!i) return;
  if (v && isRadioButton(i->kind)) setRadioOn(*i);
  else i->on = v != 0;
  refresh(i);
}
ADMBoolean itemGetBooleanValue(ADMItemRef i) { return i && i->on ? 1 : 0; }
void itemEnable(ADMItemRef i, ADMBoolean e) {
  if (!i) return;
  i->enabled = e != 0;
  refresh(i);
}
ADMBoolean itemIsEnabled(ADMItemRef i) { return i && i->enabled ? 1 : 0; }
void itemShow(ADMItemRef i, ADMBoolean s) {
  if (!i) return;
  i->visible = s != 0;
  refresh(i);
}
ADMBoolean itemIsVisible(ADMItemRef i) { return i && i->visible ? 1 : 0; }
void itemGetLocalRect(ADMItemRef i, ADMRect* r) { if (i && r) *r = i->localRect(); }
void itemGetBoundsRect(ADMItemRef i, ADMRect* r) { if (i && r) *r = i->bounds; }
void itemSetBoundsRect(ADMItemRef i, const ADMRect* r) {
  if (!i || !r) return;
  i->bounds = *r;
  refresh(i);
}
void itemMove(ADMItemRef i, int32 x, int32 y) {
  if (!i) return;
  ADMRect r = i->bounds;
  i->bounds = ADMRect{x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
  refresh(i);
}
void itemSize(ADMItemRef i, int32 w, int32 h) {
  if (!i) return;
  i->bounds.right = i->bounds.left + std::max<int32>(0, w);
  i->bounds.bottom = i->bounds.top + std::max<int32>(0, h);
  refresh(i);
}
void itemGetBestSize(ADMItemRef i, ADMPoint* size) {
  if (!i || !size) return;
  *size = bestSize(*i);
}
void itemInvalidate(ADMItemRef i) {
  if (!i) return;
  i->invalid = true;
  if (i->view) i->view->redraw();
}
void itemSetMask(ADMItemRef i, ADMActionMask m) { if (i) i->mask = m; }
ADMActionMask itemGetMask(ADMItemRef i) { return i ? i->mask : 0; }
void itemSetJustify(ADMItemRef i, ADMJustify j) {
  if (!i) return;
  i->justify = j;
  refresh(i);
}
ADMJustify itemGetJustify(ADMItemRef i) { return i ? i->justify : kADMLeftJustify; }
void itemSetItemStyle(ADMItemRef i, int32 s) {
  if (!i) return;
  i->style = s;
  refresh(i);
}
int32 itemGetItemStyle(ADMItemRef i) { return i ? i->style : 0; }
void itemSetPrecision(ADMItemRef i, int32 d) { if (i) i->precision = std::clamp<int32>(d, 0, 20); }
int32 itemGetPrecision(ADMItemRef i) { return i ? i->precision : 0; }
void itemSetDisplayWidth(ADMItemRef i, int32 c) { if (i) i->displayWidth = std::max<int32>(0, c); }
int32 itemGetDisplayWidth(ADMItemRef i) { return i ? i->displayWidth : 0; }
void itemSetTipString(ADMItemRef i, const char* tip) {
  if (!i) return;
  i->tip = tip ? tip : "";
  refresh(i);
}
void itemGetTipString(ADMItemRef i, char* tip, int32 max) { if (i) copyText(i->tip, tip, max); }
ADMListRef itemGetList(ADMItemRef i) { return i ? i->list.get() : nullptr; }
void itemAddItem(ADMItemRef group, ADMItemRef item) {
  if (!group || !item || group == item || group->kind != ItemKind::ItemGroup) return;
  if (item->group) {
    auto& m = item->group->members;
    m.erase(std::remove(m.begin(), m.end(), item), m.end());
  }
  try {
    group->members.push_back(item);
    item->group = group;
  } catch (...) {
  }
}
void itemRemoveItem(ADMItemRef group, ADMItemRef item) {
  if (!group || !item || item->group != group) return;
  auto& m = group->members;
  m.erase(std::remove(m.begin(), m.end(), item), m.end());
  item->group = nullptr;
}

const ADMItemSuite5 kItem = {
    itemCreate,           itemDestroy,          itemSetDrawProc,      itemDefaultDraw,
    itemSetTrackProc,     itemDefaultTrack,     itemSetNotifyProc,    itemDefaultNotify,
    itemSetDestroyProc,   itemSetUserData,      itemGetUserData,      itemGetID,
    itemGetDialog,        itemGetItemType,      itemSetText,          itemGetText,
    itemGetTextLength,    itemSetFloatValue,    itemGetFloatValue,    itemSetMinFloatValue,
    itemGetMinFloatValue, itemSetMaxFloatValue, itemGetMaxFloatValue, itemSetIntValue,
    itemGetIntValue,      itemSetBooleanValue,  itemGetBooleanValue,  itemEnable,
    itemIsEnabled,        itemShow,             itemIsVisible,        itemGetLocalRect,
    itemGetBoundsRect,    itemSetBoundsRect,    itemMove,             itemSize,
    itemGetBestSize,      itemInvalidate,       itemUpdate,           itemSetMask,
    itemGetMask,          itemSetJustify,       itemGetJustify,       itemSetItemStyle,
    itemGetItemStyle,     itemSetPrecision,     itemGetPrecision,     itemSetDisplayWidth,
    itemGetDisplayWidth,  itemGetList,          itemAddItem,          itemRemoveItem,
    itemSetTipString,     itemGetTipString};

// ---- notifier, tracker --------------------------------------------------------

ADMItemRef notifierGetItem(ADMNotifierRef n) { return n ? n->item : nullptr; }
ADMDialogRef notifierGetDialog(ADMNotifierRef n) { return n ? n->dialog : nullptr; }
ADMBoolean notifierIsType(ADMNotifierRef n, const char* type) {
  return n && type && std::strcmp(n->type, type) == 0 ? 1 : 0;
}
void notifierGetType(ADMNotifierRef n, char* type, int32 max) { if (n) copyText(n->type, type, max); }

const ADMNotifierSuite2 kNotifier = {notifierGetItem, notifierGetDialog, notifierIsType,
                                     notifierGetType};

void trackerGetPoint(ADMTrackerRef t, ADMPoint* p) { if (t && p) *p = t->point; }
ADMAction trackerGetAction(ADMTrackerRef t) { return t ? t->action : kADMNoAction; }
ADMModifiers trackerGetModifiers(ADMTrackerRef t) { return t ? t->modifiers : 0; }
ADMBoolean trackerTestAction(ADMTrackerRef t, ADMAction a) { return t && t->action == a ? 1 : 0; }
ADMBoolean trackerTestModifier(ADMTrackerRef t, ADMModifiers m) {
  return t && (t->modifiers & m) == m ? 1 : 0;
}

const ADMTrackerSuite1 kTracker = {trackerGetPoint, trackerGetAction, trackerGetModifiers,
                                   trackerTestAction, trackerTestModifier};

// ---- entries and lists ----------------------------------------------------------

ADMListRef entryGetList(ADMEntryRef e) { return e ? e->list : nullptr; }
int32 entryGetIndex(ADMEntryRef e) { return e && e->list ? e->list->indexOf(e) : -1; }
void entrySetID(ADMEntryRef e, int32 id) { if (e) e->id = id; }
int32 entryGetID(ADMEntryRef e) { return e ? e->id : 0; }
void entrySetUserData(ADMEntryRef e, ADMUserData u) { if (e) e->userData = u; }
ADMUserData entryGetUserData(ADMEntryRef e) { return e ? e->userData : nullptr; }
void entrySetText(ADMEntryRef e, const char* text) {
  if (!e) return;
  e->text = text ? text : "";
  if (e->list) refresh(e->list->item);
}
void entryGetText(ADMEntryRef e, char* text, int32 max) { if (e) copyText(e->text, text, max); }
void entrySelect(ADMEntryRef e, ADMBoolean select) {
  if (!e || !e->list) return;
  int32 index = e->list->indexOf(e);
  if (select) e->list->active = index;
  else if (e->list->active == index) e->list->active = -1;
  refresh(e->list->item);
}
ADMBoolean entryIsSelected(ADMEntryRef e) {
  return e && e->list && e->list->active == e->list->indexOf(e) ? 1 : 0;
}
void entryEnable(ADMEntryRef e, ADMBoolean en) { if (e) e->enabled = en != 0; }
ADMBoolean entryIsEnabled(ADMEntryRef e) { return e && e->enabled ? 1 : 0; }
void entryDefaultDraw(ADMEntryRef e, ADMDrawerRef drawer) {
  if (!e || !drawer) return;
  if (drawer->record)
    drawer->record->push_back(DrawOp{DrawOp::Text, drawer->color, drawer->bounds, {}, e->text, {}});
}
ADMBoolean entryDefaultTrack(ADMEntryRef, ADMTrackerRef) { return 0; }
void entryDefaultNotify(ADMEntryRef e, ADMNotifierRef n) {
  if (!e || !n || !e->list || !e->list->item) return;
  ADMItem& item = *e->list->item;
  if (item.notifyProc) item.notifyProc(&item, n);
  else defaultNotifyItem(item, *n);
}

const ADMEntrySuite4 kEntry = {entryGetList,     entryGetIndex,      entrySetID,
                               entryGetID,       entrySetUserData,   entryGetUserData,
                               entrySetText,     entryGetText,       entrySelect,
                               entryIsSelected,  entrySelect,        entryIsSelected,
                               entryEnable,      entryIsEnabled,     entryDefaultDraw,
                               entryDefaultTrack, entryDefaultNotify};

ADMItemRef listGetItem(ADMListRef l) { return l ? l->item : nullptr; }
void listSetUserData(ADMListRef l, ADMUserData u) { if (l) l->userData = u; }
ADMUserData listGetUserData(ADMListRef l) { return l ? l->userData : nullptr; }
void listSetDrawProc(ADMListRef l, ADMEntryDrawProc p) { if (l) l->drawProc = p; }
void listSetTrackProc(ADMListRef l, ADMEntryTrackProc p) { if (l) l->trackProc = p; }
void listSetNotifyProc(ADMListRef l, ADMEntryNotifyProc p) { if (l) l->notifyProc = p; }
ADMEntryRef listInsertEntry(ADMListRef l, int32 index) {
  if (!l) return nullptr;
  try {
    auto entry = std::make_unique<ADMEntry>();
    entry->list = l;
    int32 count = static_cast<int32>(l->entries.size());
    index = std::clamp<int32>(index, 0, count);
    ADMEntry* e = entry.get();
    l->entries.insert(l->entries.begin() + index, std::move(entry));
    if (l->active >= index) ++l->active;  // the shown entry stays the same entry
    refresh(l->item);
    return e;
  } catch (...) {
    return nullptr;
  }
}
void listRemoveEntry(ADMListRef l, int32 index) {
  if (!l || index < 0 || index >= static_cast<int32>(l->entries.size())) return;
  l->entries.erase(l->entries.begin() + index);
  if (l->active == index) l->active = -1;
  else if (l->active > index) --l->active;
  refresh(l->item);
}
ADMEntryRef listGetEntry(ADMListRef l, int32 id) {
  if (!l) return nullptr;
  for (auto& e : l->entries)
    if (e->id == id) return e.get();
  return nullptr;
}
ADMEntryRef listIndexEntry(ADMListRef l, int32 index) {
  if (!l || index < 0 || index >= static_cast<int32>(l->entries.size())) return nullptr;
  return l->entries[static_cast<std::size_t>(index)].get();
}
ADMEntryRef listFindEntry(ADMListRef l, const char* text) {
  if (!l || !text) return nullptr;
  for (auto& e : l->entries)
    if (e->text == text) return e.get();
  return nullptr;
}
int32 listNumberOfEntries(ADMListRef l) { return l ? static_cast<int32>(l->entries.size()) : 0; }
ADMEntryRef listGetActiveEntry(ADMListRef l) { return l ? listIndexEntry(l, l->active) : nullptr; }

const ADMListSuite2 kList = {listGetItem,     listSetUserData,    listGetUserData,
                             listSetDrawProc, listSetTrackProc,   listSetNotifyProc,
                             listInsertEntry, listRemoveEntry,    listGetEntry,
                             listIndexEntry,  listFindEntry,      listNumberOfEntries,
                             listGetActiveEntry};

int32 listEntryGetIndex(ADMListEntryRef) { return -1; }
int32 listEntryGetID(ADMListEntryRef) { return 0; }
ADMUserData listEntryGetUserData(ADMListEntryRef) { return nullptr; }

const ADMListEntrySuite2 kListEntry = {listEntryGetIndex, listEntryGetID, listEntryGetUserData};

// ---- images ---------------------------------------------------------------------

ADMImageRef imageCreate(int32 width, int32 height, int32) {
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return nullptr;
  try {
    auto image = std::make_unique<ADMImage>();
    image->width = width;
    image->height = height;
    image->rgb.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0);
    return image.release();
  } catch (...) {
    return nullptr;
  }
}
void imageDestroy(ADMImageRef image) { std::unique_ptr<ADMImage> owned(image); }
int32 imageGetWidth(ADMImageRef i) { return i ? i->width : 0; }
int32 imageGetHeight(ADMImageRef i) { return i ? i->height : 0; }
int32 imageGetByteWidth(ADMImageRef i) { return i ? i->width * 3 : 0; }
unsigned8* imageBegin(ADMImageRef i) { return i ? i->rgb.data() : nullptr; }
void imageEnd(ADMImageRef) {}

const ADMImageSuite1 kImage = {imageCreate,       imageDestroy, imageGetWidth, imageGetHeight,
                               imageGetByteWidth, imageBegin,   imageEnd};

const SuiteTable kSuites[] = {
    {kADMBasicSuite, kADMBasicSuiteVersion5, &kBasic},
    {kADMDialogSuite, kADMDialogSuiteVersion5, &kDialog},
    {kADMItemSuite, kADMItemSuiteVersion5, &kItem},
    {kADMNotifierSuite, kADMNotifierSuiteVersion2, &kNotifier},
    {kADMTrackerSuite, kADMTrackerSuiteVersion1, &kTracker},
    {kADMEntrySuite, kADMEntrySuiteVersion4, &kEntry},
    {kADMListSuite, kADMListSuiteVersion2, &kList},
    {kADMListEntrySuite, kADMListEntrySuiteVersion2, &kListEntry},
    {kADMDrawerSuite, kADMDrawerSuiteVersion3, drawerSuite()},
    {kADMImageSuite, kADMImageSuiteVersion1, &kImage},
    {kADMIconSuite, kADMIconSuiteVersion2, iconSuite()},
};

}  // namespace

const void* admSuite(const char* name, int32 version) {
  if (!name) return nullptr;
  for (const SuiteTable& s : kSuites)
    if (s.version == version && std::strcmp(s.name, name) == 0) return s.table;
  return nullptr;
}

std::vector<SuiteTable> suiteTables() { return {std::begin(kSuites), std::end(kSuites)}; }

}  // namespace veyra::dialogmanager
