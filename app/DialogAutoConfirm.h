// The test-only auto-confirm of `veyra edit` and `veyra about` (the variable
// kAutoConfirmVariable): it works on the toolkit's windows, not through a
// dialog manager, so that it confirms the module's own dialogs as well as
// ours.
#ifndef VEYRA_APP_DIALOGAUTOCONFIRM_H
#define VEYRA_APP_DIALOGAUTOCONFIRM_H

#include <string>

namespace veyra::app {

// What to do with the first dialog window that shows: save a PNG screenshot
// of it after its first full drawing into file, then click its OK button
// (cancel: its Cancel button; a window with neither, such as the about box,
// is clicked in its centre).
void autoConfirmFirstDialog(const std::string& file, bool cancel);

}  // namespace veyra::app

#endif
