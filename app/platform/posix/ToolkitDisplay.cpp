// FLTK on X11: the display is opened here first, because FLTK ends the
// process when it cannot open one itself.
#include "app/platform/ToolkitDisplay.h"

#include <FL/Fl.H>
#include <FL/x.H>
#include <dlfcn.h>

#include <cstdlib>

namespace veyra::app::platform {

bool openToolkitDisplay(std::string* error) {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) {
    if (error) *error = "no display: DISPLAY is not set (dialogs need an X display)";
    return false;
  }
  using OpenDisplay = Display* (*)(const char*);
  auto open = reinterpret_cast<OpenDisplay>(dlsym(RTLD_DEFAULT, "XOpenDisplay"));
  Display* display = open ? open(nullptr) : nullptr;
  if (!display) {
    if (error) *error = std::string("cannot open the X display \"") + name + "\"";
    return false;
  }
  fl_open_display(display);
  return true;
}

}  // namespace veyra::app::platform
