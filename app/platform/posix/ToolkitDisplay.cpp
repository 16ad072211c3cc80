// FLTK on X11: the display is opened here first, because FLTK ends the
// process when it cannot open one itself.
#include "app/platform/ToolkitDisplay.h"

#include <FL/Fl.H>
#include <FL/x.H>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace veyra::app::platform {

namespace {
// Reports a protocol error and goes on, as FLTK does when it opens the
// display itself; Xlib's own handler would end the process.
int reportXError(Display*, XErrorEvent* e) {
  std::fprintf(stderr, "X error %d (request %d.%d) on resource 0x%lx\n", e->error_code, e->request_code,
               e->minor_code, e->resourceid);
  return 0;
}
}  // namespace

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
  using ErrorHandler = int (*)(Display*, XErrorEvent*);
  using SetErrorHandler = ErrorHandler (*)(ErrorHandler);
  if (auto set = reinterpret_cast<SetErrorHandler>(dlsym(RTLD_DEFAULT, "XSetErrorHandler"))) set(&reportXError);
  fl_open_display(display);
  return true;
}

}  // namespace veyra::app::platform
