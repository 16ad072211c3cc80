// A titled frame drawn around a group of controls; it takes no pointer events.
#pragma once

#include "adm/Item.h"

namespace veyra {

class Frame : public ADM::Item {
 public:
  Frame(ADM::Dialog* dialog, const ADMRect& rect);
  // Reports every pointer event as not handled, without default tracking.
  bool track(ADM::Tracker& tracker) override;
};

}  // namespace veyra
