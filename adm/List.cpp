#include "adm/List.h"

#include <vector>

#include "adm/SuiteSet.h"

namespace ADM {

List::~List() = default;

void List::attach(ADMListRef list) {
  list_ = list;
  if (!list_) return;
  sList->SetUserData(list_, this);
  sList->SetDrawProc(list_, &List::entryDrawProc);
  sList->SetTrackProc(list_, &List::entryTrackProc);
  sList->SetNotifyProc(list_, &List::entryNotifyProc);
}

void List::deleteEntryWrappers() {
  while (!entries_.empty()) {
    if (list_ && entries_.back()->ref) sEntry->SetUserData(entries_.back()->ref, nullptr);
    entries_.pop_back();
  }
}

void List::entryDrawProc(ADMEntryRef entry, ADMDrawerRef drawer) {
  List* list = static_cast<List*>(sList->GetUserData(sEntry->GetList(entry)));
  Entry* wrapper = static_cast<Entry*>(sEntry->GetUserData(entry));
  Drawer d(drawer);
  if (list && wrapper) list->drawEntry(*wrapper, d);
  else sEntry->DefaultDraw(entry, drawer);
}

ADMBoolean List::entryTrackProc(ADMEntryRef entry, ADMTrackerRef tracker) {
  List* list = static_cast<List*>(sList->GetUserData(sEntry->GetList(entry)));
  Entry* wrapper = static_cast<Entry*>(sEntry->GetUserData(entry));
  Tracker t(tracker);
  if (list && wrapper) return list->trackEntry(*wrapper, t) ? 1 : 0;
  return sEntry->DefaultTrack(entry, tracker);
}

void List::entryNotifyProc(ADMEntryRef entry, ADMNotifierRef notifier) {
  List* list = static_cast<List*>(sList->GetUserData(sEntry->GetList(entry)));
  Entry* wrapper = static_cast<Entry*>(sEntry->GetUserData(entry));
  Notifier n(notifier);
  if (list && wrapper) list->notifyEntry(*wrapper, n);
  else sEntry->DefaultNotify(entry, notifier);
}

void List::drawEntry(Entry& entry, Drawer& drawer) { sEntry->DefaultDraw(entry.ref, drawer.ref()); }
bool List::trackEntry(Entry& entry, Tracker& tracker) {
  return sEntry->DefaultTrack(entry.ref, tracker.ref()) != 0;
}
void List::notifyEntry(Entry& entry, Notifier& notifier) {
  sEntry->DefaultNotify(entry.ref, notifier.ref());
}

List::Entry* List::insertEntry(int32 position, const char* text, int32 identifier) {
  if (!list_) return nullptr;
  ADMEntryRef ref = sList->InsertEntry(list_, position);
  if (!ref) return nullptr;
  entries_.push_back(std::make_unique<Entry>(Entry{ref}));
  Entry* wrapper = entries_.back().get();
  sEntry->SetUserData(ref, wrapper);
  if (identifier != 0) sEntry->SetID(ref, identifier);
  sEntry->SetText(ref, text ? text : "");
  return wrapper;
}

int32 List::numberOfEntries() const { return list_ ? sList->NumberOfEntries(list_) : 0; }

ADMEntryRef List::findEntry(int32 identifier) const {
  return list_ ? sList->GetEntry(list_, identifier) : nullptr;
}

ADMEntryRef List::activeEntry() const { return list_ ? sList->GetActiveEntry(list_) : nullptr; }

int32 List::activeIndex() const {
  ADMEntryRef entry = activeEntry();
  return entry ? sEntry->GetIndex(entry) : -1;
}

void List::selectEntry(int32 position) {
  if (!list_) return;
  ADMEntryRef entry = sList->IndexEntry(list_, position);
  if (entry) sEntry->Select(entry, true);
}

bool List::selectEntryWithId(int32 identifier) {
  ADMEntryRef entry = findEntry(identifier);
  if (!entry) return false;
  sEntry->Select(entry, true);
  return true;
}

int32 List::selectedId() const {
  ADMEntryRef entry = activeEntry();
  return entry ? sEntry->GetID(entry) : -1;
}

std::string List::entryText(int32 position) const {
  if (!list_) return std::string();
  ADMEntryRef entry = sList->IndexEntry(list_, position);
  if (!entry) return std::string();
  char buffer[1024] = {0};
  sEntry->GetText(entry, buffer, sizeof buffer);
  return std::string(buffer);
}

Menu::Menu(Dialog* dialog, int32 itemID, const char* itemType, const ADMRect& rect)
    : Item(dialog, itemID, itemType, rect) {
  if (ref()) attach(sItem->GetList(ref()));
}

Menu::~Menu() { deleteEntryWrappers(); }

bool Menu::track(Tracker& tracker) {
  if (tracker.action() == kADMButtonDownAction) emit(kActivateEvent, this, static_cast<Menu*>(this));
  return defaultTrack(tracker);
}

void Menu::notify(Notifier& notifier) {
  defaultNotify(notifier);
  if (notifier.isNotifierType(kADMUserChangedNotifier)) emit(kSelectEvent, this, &notifier);
}

ComboBox::ComboBox(Dialog* dialog, int32 itemID, const ADMRect& rect)
    : Menu(dialog, itemID, kADMPopupListType, rect) {}

}  // namespace ADM
