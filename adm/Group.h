// An item group: shows, hides and moves its children together.
#pragma once

#include <vector>

#include "adm/Item.h"

namespace ADM {

class Group : public Item {
 public:
  // Creates the group item with an empty rectangle.
  Group(Dialog* dialog, int32 itemID);

  // Has the host add the child to the group, then remembers the child with
  // its current bounds rectangle.
  void add(Item* child);
  // Number of children.
  std::size_t childCount() const { return children_.size(); }
  // The child at a position.
  Item* child(std::size_t index) const { return children_[index].item; }

  // Shows the group item, then each child in the order added.
  void show() override;
  // Hides the group item, then each child in the order added.
  void hide() override;
  // Moves each child to its remembered rectangle offset by (r.left, r.top);
  // the group item itself does not move.
  void setBoundsRect(const ADMRect& r) override;

 private:
  struct Child {
    Item* item;
    ADMRect bounds;
  };
  std::vector<Child> children_;
};

}  // namespace ADM
