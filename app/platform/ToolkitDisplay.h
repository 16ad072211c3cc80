// Connecting the GUI toolkit to the display without letting it end the
// process when there is none.
#ifndef VEYRA_APP_PLATFORM_TOOLKITDISPLAY_H
#define VEYRA_APP_PLATFORM_TOOLKITDISPLAY_H

#include <string>

namespace veyra::app::platform {

// Opens the display for FLTK; false with *error set when there is none.
bool openToolkitDisplay(std::string* error);

}  // namespace veyra::app::platform

#endif
