// The FLTK widgets behind dialogs and items, for code that drives them with
// real toolkit events (tests feeding keys and clicks through Fl::handle).
#ifndef VEYRA_DIALOGMANAGER_ADMFLTKACCESS_H
#define VEYRA_DIALOGMANAGER_ADMFLTKACCESS_H

#include <vector>

#include "adm/ADMSuites.h"

class Fl_Widget;
class Fl_Window;

namespace veyra::dialogmanager {

// The item's widget, or null (no display, or an item group).
Fl_Widget* widgetOf(ADMItemRef item);
// The dialog's window, or null without a display.
Fl_Window* windowOf(ADMDialogRef dialog);
// Edit fields: how far the text is scrolled, in pixels (0: shown from its
// first character).
int textScrollOf(ADMItemRef item);

// Any shown FLTK window of the process, whichever copy of this dialog
// manager made it (the toolkit's state is shared): its pixels (RGB rows, top
// first), and a pointer event fed in as the window system would (point in
// window coordinates; answers whether a widget took it).
bool captureWindow(Fl_Window* window, std::vector<unsigned char>& rgb, int& width, int& height);
bool injectPointer(Fl_Window* window, ADMAction action, ADMPoint point, ADMModifiers modifiers = 0);

}  // namespace veyra::dialogmanager

#endif
