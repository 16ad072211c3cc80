// The entry list of a popup item, and the popup controls built on it.
#pragma once

#include <memory>
#include <vector>

#include "adm/Item.h"

namespace ADM {

// The list of a popup item. Each host entry carries a small wrapper record
// as its user data; the wrappers are deleted with the list.
class List {
 public:
  struct Entry {
    ADMEntryRef ref;
  };

  List() = default;
  virtual ~List();
  List(const List&) = delete;
  List& operator=(const List&) = delete;

  // Slot 0: draws an entry; the host's default entry drawing.
  virtual void drawEntry(Entry& entry, Drawer& drawer);
  // Slot 1: tracks an entry; the host's default entry tracking.
  virtual bool trackEntry(Entry& entry, Tracker& tracker);
  // Slot 2: an entry's notification; the host's default (passes it to the item).
  virtual void notifyEntry(Entry& entry, Notifier& notifier);

  // The host list handle.
  ADMListRef listRef() const { return list_; }
  // Inserts an entry at the position with the text, and the identifier when
  // it is not 0; answers its wrapper.
  Entry* insertEntry(int32 position, const char* text, int32 identifier = 0);
  // Appends an entry.
  Entry* appendEntry(const char* text, int32 identifier = 0) {
    return insertEntry(numberOfEntries(), text, identifier);
  }
  // Number of entries.
  int32 numberOfEntries() const;
  // The entry with the identifier, or null.
  ADMEntryRef findEntry(int32 identifier) const;
  // The active (shown) entry, or null.
  ADMEntryRef activeEntry() const;
  // Position of the active entry, -1 when there is none.
  int32 activeIndex() const;
  // Selects the entry at the position; nothing when there is no entry there.
  void selectEntry(int32 position);
  // Selects the entry with the identifier; answers false when there is none.
  bool selectEntryWithId(int32 identifier);
  // The identifier of the active entry, -1 when there is none.
  int32 selectedId() const;
  // The text of the entry at a position (empty when there is none).
  std::string entryText(int32 position) const;

 protected:
  // Attaches to the popup's host list: this object becomes the list's user
  // data and the entry procedures route to the three slots.
  void attach(ADMListRef list);
  // Deletes every entry wrapper, last first.
  void deleteEntryWrappers();

 private:
  static void entryDrawProc(ADMEntryRef entry, ADMDrawerRef drawer);
  static ADMBoolean entryTrackProc(ADMEntryRef entry, ADMTrackerRef tracker);
  static void entryNotifyProc(ADMEntryRef entry, ADMNotifierRef notifier);

  ADMListRef list_ = nullptr;
  std::vector<std::unique_ptr<Entry>> entries_;
};

// A popup item with its list.
class Menu : public Item, public List {
 public:
  // Creates the item of the type and attaches to its host list.
  Menu(Dialog* dialog, int32 itemID, const char* itemType, const ADMRect& rect);
  // Deletes the entry wrappers (last first), then destroys the item.
  ~Menu() override;

  // Emits "activate" (argument: this menu) on a button-down, then the
  // host's default tracking.
  bool track(Tracker& tracker) override;
  // The host's default handling, then "select" (argument: the notifier) on a
  // user change.
  void notify(Notifier& notifier) override;
};

// A popup list ("ADM Popup List Type").
class ComboBox : public Menu {
 public:
  ComboBox(Dialog* dialog, int32 itemID, const ADMRect& rect);
};

}  // namespace ADM
