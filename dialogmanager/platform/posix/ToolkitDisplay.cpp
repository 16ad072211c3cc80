// FLTK on X11: the display is opened here first, because FLTK ends the
// process when it cannot open one itself. Xlib is called directly (not looked
// up in the process): in a host that does not use X itself, the module's own
// libraries are the only ones that bring it.
#include "dialogmanager/platform/ToolkitDisplay.h"

#include <FL/Fl.H>
#include <FL/x.H>

#include <cstdio>
#include <cstdlib>

namespace veyra::dialogmanager::platform {

namespace {
// Reports a protocol error and goes on, as FLTK does when it opens the
// display itself; Xlib's own handler would end the process.
int reportXError(Display*, XErrorEvent* e) {
  std::fprintf(stderr, "X error %d (request %d.%d) on resource 0x%lx\n", e->error_code, e->request_code,
               e->minor_code, e->resourceid);
  return 0;
}
}  // namespace

bool toolkitDisplayOpen() { return fl_display != nullptr; }

bool openToolkitDisplay(std::string* error) {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) {
    if (error) *error = "no display: DISPLAY is not set (dialogs need an X display)";
    return false;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    if (error) *error = std::string("cannot open the X display \"") + name + "\"";
    return false;
  }
  XSetErrorHandler(&reportXError);
  fl_open_display(display);
  return true;
}

}  // namespace veyra::dialogmanager::platform
