#include "ui/FilterDialog.h"

namespace veyra {

namespace {
DialogOverride gDialogOverride = nullptr;
}

DialogOverride setDialogOverrideForTesting(DialogOverride replacement) {
  DialogOverride previous = gDialogOverride;
  gDialogOverride = replacement;
  return previous;
}

// The dialog itself arrives with the user-interface work; until then the
// dialog confirms the current parameters.
bool runLightDialog(FilterCall& call) {
  if (gDialogOverride != nullptr) return gDialogOverride(call);
  return true;
}

void showAboutBox(const AboutRecord*) {}

}  // namespace veyra
