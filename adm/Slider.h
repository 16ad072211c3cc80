// A horizontal slider with a float range and value.
#pragma once

#include "adm/Item.h"

namespace ADM {

class Slider : public Item {
 public:
  Slider(Dialog* dialog, int32 itemID, const ADMRect& rect);

  // The host's default tracking; after it answered true for a move with the
  // button held, emits "track" (no argument).
  bool track(Tracker& tracker) override;
  // Emits "changed" (argument: the notifier) on a user change, before the
  // host's default handling.
  void notify(Notifier& notifier) override;
};

}  // namespace ADM
