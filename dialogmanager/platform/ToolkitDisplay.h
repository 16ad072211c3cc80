// Connecting the GUI toolkit to the display without letting it end the
// process when there is none.
#ifndef VEYRA_DIALOGMANAGER_PLATFORM_TOOLKITDISPLAY_H
#define VEYRA_DIALOGMANAGER_PLATFORM_TOOLKITDISPLAY_H

#include <string>

namespace veyra::dialogmanager::platform {

// Whether FLTK in this process is connected to the display already (the
// toolkit is one shared library: the host and the module share its state).
bool toolkitDisplayOpen();
// Opens the display for FLTK; false with *error set when there is none.
bool openToolkitDisplay(std::string* error);

}  // namespace veyra::dialogmanager::platform

#endif
