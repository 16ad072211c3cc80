#include "adm/Item.h"

#include <vector>

#include "adm/Dialog.h"
#include "adm/SuiteSet.h"

namespace ADM {

namespace {
Item* wrapperOf(ADMItemRef item) { return static_cast<Item*>(sItem->GetUserData(item)); }
}  // namespace

Item::Item(Dialog* dialog, int32 itemID, const char* itemType, const ADMRect& bounds,
           int32 options)
    : dialog_(dialog) {
  ref_ = sItem->Create(dialog ? dialog->ref() : nullptr, itemID, itemType, &bounds,
                       &Item::initProc, static_cast<Item*>(this), options);
}

Item::~Item() {
  clearConnections();
  if (ref_) {
    sItem->Destroy(ref_);
    ref_ = nullptr;
  }
}

ADMErr Item::initProc(ADMItemRef item) {
  Item* self = wrapperOf(item);
  self->ref_ = item;
  self->created();
  sItem->SetNotifyProc(item, &Item::notifyProc);
  sItem->SetTrackProc(item, &Item::trackProc);
  sItem->SetDrawProc(item, &Item::drawProc);
  return kADMNoErr;
}

void Item::notifyProc(ADMItemRef item, ADMNotifierRef notifier) {
  Notifier n(notifier);
  wrapperOf(item)->notify(n);
}

ADMBoolean Item::trackProc(ADMItemRef item, ADMTrackerRef tracker) {
  Tracker t(tracker);
  return wrapperOf(item)->track(t) ? 1 : 0;
}

void Item::drawProc(ADMItemRef item, ADMDrawerRef drawer) {
  Drawer d(drawer);
  wrapperOf(item)->draw(d);
}

void Item::show() {
  sItem->Show(ref_, true);
  sItem->Invalidate(ref_);
}
void Item::hide() { sItem->Show(ref_, false); }
void Item::setIntValue(int32 value) { sItem->SetIntValue(ref_, value); }
void Item::setBoundsRect(const ADMRect& rect) { sItem->SetBoundsRect(ref_, &rect); }
void Item::moveTo(int32 x, int32 y) { sItem->Move(ref_, x, y); }
void Item::sizeTo(int32 width, int32 height) { sItem->Size(ref_, width, height); }
bool Item::track(Tracker& tracker) { return defaultTrack(tracker); }
void Item::created() {}
void Item::draw(Drawer& drawer) { defaultDraw(drawer); }
void Item::notify(Notifier& notifier) { defaultNotify(notifier); }
void Item::hook() {}
void Item::hook(void*) {}

bool Item::defaultTrack(Tracker& tracker) { return sItem->DefaultTrack(ref_, tracker.ref()) != 0; }
void Item::defaultDraw(Drawer& drawer) { sItem->DefaultDraw(ref_, drawer.ref()); }
void Item::defaultNotify(Notifier& notifier) { sItem->DefaultNotify(ref_, notifier.ref()); }

void Item::setText(const char* text) { sItem->SetText(ref_, text ? text : ""); }

std::string Item::text() const {
  int32 length = sItem->GetTextLength(ref_);
  if (length <= 0) return std::string();
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
  sItem->GetText(ref_, buffer.data(), length + 1);
  return std::string(buffer.data());
}

void Item::setFloatValue(float value, bool notify) {
  sItem->SetFloatValue(ref_, value);
  if (notify) emit(kChangedEvent, this, nullptr);
}

float Item::floatValue() const { return sItem->GetFloatValue(ref_); }

void Item::setFloatRange(float minimum, float maximum) {
  sItem->SetMinFloatValue(ref_, minimum);
  sItem->SetMaxFloatValue(ref_, maximum);
}

void Item::setBooleanValue(bool on) { sItem->SetBooleanValue(ref_, on); }
bool Item::booleanValue() const { return sItem->GetBooleanValue(ref_) != 0; }
void Item::enable(bool enabled) { sItem->Enable(ref_, enabled); }
bool Item::isEnabled() const { return sItem->IsEnabled(ref_) != 0; }
bool Item::isVisible() const { return sItem->IsVisible(ref_) != 0; }

ADMRect Item::localRect() const {
  ADMRect r{0, 0, 0, 0};
  sItem->GetLocalRect(ref_, &r);
  return r;
}

ADMRect Item::boundsRect() const {
  ADMRect r{0, 0, 0, 0};
  sItem->GetBoundsRect(ref_, &r);
  return r;
}

ADMPoint Item::bestSize() const {
  ADMPoint p{0, 0};
  sItem->GetBestSize(ref_, &p);
  return p;
}

int32 Item::id() const { return sItem->GetID(ref_); }
void Item::invalidate() { sItem->Invalidate(ref_); }
void Item::update() { sItem->Update(ref_); }
void Item::setMask(ADMActionMask mask) { sItem->SetMask(ref_, mask); }
ADMActionMask Item::mask() const { return sItem->GetMask(ref_); }
void Item::setJustify(ADMJustify justify) { sItem->SetJustify(ref_, justify); }
void Item::setItemStyle(int32 style) { sItem->SetItemStyle(ref_, style); }
void Item::setTipString(const char* tip) { sItem->SetTipString(ref_, tip); }

}  // namespace ADM
