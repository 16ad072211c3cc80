#include "adm/Group.h"

#include "adm/SuiteSet.h"

namespace ADM {

Group::Group(Dialog* dialog, int32 itemID)
    : Item(dialog, itemID, kADMItemGroupType, ADMRect{0, 0, 0, 0}) {}

void Group::add(Item* child) {
  sItem->AddItem(ref(), child->ref());
  children_.push_back(Child{child, child->boundsRect()});
}

void Group::show() {
  Item::show();
  for (const Child& c : children_) c.item->show();
}

void Group::hide() {
  Item::hide();
  for (const Child& c : children_) c.item->hide();
}

void Group::setBoundsRect(const ADMRect& r) {
  for (const Child& c : children_) {
    ADMRect moved{c.bounds.left + r.left, c.bounds.top + r.top, c.bounds.right + r.left,
                  c.bounds.bottom + r.top};
    c.item->setBoundsRect(moved);
  }
}

}  // namespace ADM
