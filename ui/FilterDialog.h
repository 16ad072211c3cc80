// The entry points of the plug-in's dialogs, called by the selector handlers.
#pragma once

#include "host/FilterCall.h"
#include "host/FilterRecord.h"

namespace veyra {

// Runs the light dialog on the locked parameters and state of the call.
// Answers true when the user confirmed with OK.
bool runLightDialog(FilterCall& call);

// Shows the about box; returns when it is closed.
void showAboutBox(const AboutRecord* about);

// Tests replace the dialog to observe when it is asked for; nullptr restores
// the real dialog. Answers the previous replacement.
using DialogOverride = bool (*)(FilterCall& call);
DialogOverride setDialogOverrideForTesting(DialogOverride replacement);

}  // namespace veyra
