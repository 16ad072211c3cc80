// What a host session needs before the plug-in may show a dialog: the dialog
// manager suites, the pixel display service, the module's bitmaps for the
// icon suite, and the colour-space suite's picker bridged to the dialog
// manager's colour chooser. Also the `veyra edit` and `veyra about` wiring.
#ifndef VEYRA_APP_DIALOGSERVICES_H
#define VEYRA_APP_DIALOGSERVICES_H

#include <memory>
#include <string>

#include "app/CommandLine.h"
#include "host/PluginResources.h"

namespace veyra::app {

class SuiteRegistry;

// Offers the eleven dialog manager suites in the registry (none when the
// test switch kWithholdVariable withholds them).
void registerDialogManagerSuites(SuiteRegistry& registry);

// Offers the dialog services in the host's session; resources is the
// module's resource table (the icon suite reads its bitmaps).
void installDialogServices(FilterHost& host, const PIResourceEntry* resources);

// Opens the display for dialogs (and, under kAutoConfirmVariable, arranges
// the screenshot and the press). False with the reason when there is none.
bool openDialogDisplay(std::string* error);

// The run-command extension: installs the dialog services for every run and,
// for edit, opens the display first (CommandError(kExitUsage) with the reason
// when there is none).
std::unique_ptr<RunExtension> makeDialogExtension();

// Environment variable for tests: when set to a file name, `veyra edit`
// saves a PNG screenshot of the dialog after its first full drawing and
// presses OK (its value "cancel:FILE" presses Cancel instead).
constexpr const char* kAutoConfirmVariable = "VEYRA_DIALOG_AUTOCONFIRM";

// Environment variable for tests (fault injection, not a user option): a
// comma-separated list of what the host pretends not to have. With
// kWithheldDialogManager in it the host offers no dialog manager suites, as
// most editors that load filter modules, and the module shows its own.
constexpr const char* kWithholdVariable = "VEYRA_TEST_WITHHOLD";
constexpr const char* kWithheldDialogManager = "dialog-manager";
// Whether kWithholdVariable names the dialog manager.
bool dialogManagerWithheld();

}  // namespace veyra::app

#endif
