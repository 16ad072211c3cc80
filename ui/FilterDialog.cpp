#include "ui/FilterDialog.h"

#include "ui/AboutDialog.h"
#include "ui/LightDialog.h"

namespace veyra {

namespace {
DialogOverride gDialogOverride = nullptr;
}

DialogOverride setDialogOverrideForTesting(DialogOverride replacement) {
  DialogOverride previous = gDialogOverride;
  gDialogOverride = replacement;
  return previous;
}

bool runLightDialog(FilterCall& call) {
  if (gDialogOverride != nullptr) return gDialogOverride(call);
  int16_t result = call.result();
  const bool ok = LightDialog::run(call.record(), *call.parameters(), *call.state(),
                                   static_cast<SPPluginRef>(call.pluginRef()), &result);
  if (!ok && result != call.result()) call.setResult(result);
  return ok;
}

void showAboutBox(const AboutRecord* about) { AboutDialog::show(about); }

}  // namespace veyra
