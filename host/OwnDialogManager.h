// The module's own dialog manager, as far as the plug-in's host interface
// sees it. Builds without a GUI toolkit have none: start() then fails.
#pragma once

#include "host/FilterRecord.h"

namespace veyra::own_dialog_manager {

// Connects to the display and readies the dialog manager for this module
// (its bitmaps come from the module's resource table). False when there is
// no display or no dialog manager in this build.
bool start();
// The dialog manager suite's table by name and version, or null.
const void* suite(const char* name, int32 version);
// The pixel display service that draws into the dialog manager's ports.
DisplayPixelsProc displayPixels();

}  // namespace veyra::own_dialog_manager
