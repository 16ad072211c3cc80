#include "adm/Label.h"

namespace ADM {

Label::Label(Dialog* dialog, const char* text, const ADMRect& rect)
    : Item(dialog, 0, kADMTextStaticType, rect) {
  setText(text);
  if (rect.right - rect.left == 0) {
    ADMPoint best = bestSize();
    sizeTo(best.h, best.v);
  }
}

}  // namespace ADM
