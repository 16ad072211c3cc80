// A module built without the GUI toolkit has no dialog manager of its own:
// in a host without one, its dialogs cannot open.
#include "host/OwnDialogManager.h"

namespace veyra::own_dialog_manager {

bool start() { return false; }
const void* suite(const char*, int32) { return nullptr; }
DisplayPixelsProc displayPixels() { return nullptr; }

}  // namespace veyra::own_dialog_manager
