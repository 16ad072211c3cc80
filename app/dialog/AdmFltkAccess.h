// The FLTK widgets behind dialogs and items, for code that drives them with
// real toolkit events (tests feeding keys and clicks through Fl::handle).
#ifndef VEYRA_APP_DIALOG_ADMFLTKACCESS_H
#define VEYRA_APP_DIALOG_ADMFLTKACCESS_H

#include "adm/ADMSuites.h"

class Fl_Widget;
class Fl_Window;

namespace veyra::app::adm {

// The item's widget, or null (no display, or an item group).
Fl_Widget* widgetOf(ADMItemRef item);
// The dialog's window, or null without a display.
Fl_Window* windowOf(ADMDialogRef dialog);
// Edit fields: how far the text is scrolled, in pixels (0: shown from its
// first character).
int textScrollOf(ADMItemRef item);

}  // namespace veyra::app::adm

#endif
