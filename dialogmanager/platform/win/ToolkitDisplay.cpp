// FLTK on Windows draws on the desktop, which is always there.
#include "dialogmanager/platform/ToolkitDisplay.h"

#include <FL/Fl.H>
#include <FL/x.H>

namespace veyra::dialogmanager::platform {

bool toolkitDisplayOpen() { return fl_display != nullptr; }

bool openToolkitDisplay(std::string*) {
  fl_open_display();
  return true;
}

}  // namespace veyra::dialogmanager::platform
