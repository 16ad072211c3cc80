// FLTK on Windows draws on the desktop, which is always there.
#include "app/platform/ToolkitDisplay.h"

#include <FL/Fl.H>
#include <FL/x.H>

namespace veyra::app::platform {

bool openToolkitDisplay(std::string*) {
  fl_open_display();
  return true;
}

}  // namespace veyra::app::platform
