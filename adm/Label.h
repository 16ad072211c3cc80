// Static text.
#pragma once

#include "adm/Item.h"

namespace ADM {

class Label : public Item {
 public:
  // Creates static text with item id 0; a rectangle of zero width is
  // replaced by the best size.
  Label(Dialog* dialog, const char* text, const ADMRect& rect);
};

}  // namespace ADM
