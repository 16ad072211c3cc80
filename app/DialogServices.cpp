#include "app/DialogServices.h"

#include <string>

#include "app/ColorSpaceSuite.h"
#include "app/DialogAutoConfirm.h"
#include "app/SuiteRegistry.h"
#include "app/platform/Environment.h"
#include "dialogmanager/DialogManager.h"

namespace veyra::app {

namespace {

// XYZ to the 8-bit RGB the chooser shows, and back, through the host's own
// colour-space suite so the picker agrees with every other conversion.
void xyzToRgb(const CS_XYZ& xyz, unsigned8 rgb[3]) {
  const PSColorSpaceSuite1* cs = colorSpaceSuite();
  ColorID id = nullptr;
  cs->Make(&id);
  cs->StuffXYZ(id, xyz);
  unsigned8 unused = 0;
  Boolean gamut = false;
  cs->ExtractComponents(id, plugIncolorServicesRGBSpace, &rgb[0], &rgb[1], &rgb[2], &unused, &gamut);
  cs->Delete(&id);
}

CS_XYZ rgbToXyz(const unsigned8 rgb[3]) {
  const PSColorSpaceSuite1* cs = colorSpaceSuite();
  ColorID id = nullptr;
  cs->Make(&id);
  cs->StuffComponents(id, plugIncolorServicesRGBSpace, rgb[0], rgb[1], rgb[2], 0);
  CS_XYZ xyz{0, 0, 0};
  cs->ExtractXYZ(id, &xyz);
  cs->Delete(&id);
  return xyz;
}

bool pickThroughChooser(CS_XYZ& color, const std::string& prompt) {
  unsigned8 in[3] = {0, 0, 0}, out[3] = {0, 0, 0};
  xyzToRgb(color, in);
  if (!dialogmanager::pickColor(prompt.c_str(), in, out)) return false;
  color = rgbToXyz(out);
  return true;
}

void installAutoConfirm() {
  std::string file = platform::environmentVariable(kAutoConfirmVariable);
  if (file.empty()) return;
  const std::string cancelPrefix = "cancel:";
  const bool cancel = file.compare(0, cancelPrefix.size(), cancelPrefix) == 0;
  if (cancel) file = file.substr(cancelPrefix.size());
  autoConfirmFirstDialog(file, cancel);
}

class DialogExtension : public RunExtension {
 public:
  void beforeRun(FilterHost& host, const PluginModule& module, const RunOptions& options) override {
    if (options.editing) openDisplayOrFail();
    installDialogServices(host, module.resources());
  }
  void beforeAbout(FilterHost& host, const PluginModule& module) override {
    openDisplayOrFail();
    installDialogServices(host, module.resources());
  }

 private:
  static void openDisplayOrFail() {
    std::string error;
    if (!openDialogDisplay(&error)) throw CommandError(kExitUsage, "cannot show the dialog: " + error);
  }
};

}  // namespace

bool dialogManagerWithheld() {
  const std::string value = platform::environmentVariable(kWithholdVariable);
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = value.find(',', start);
    if (end == std::string::npos) end = value.size();
    if (value.compare(start, end - start, kWithheldDialogManager) == 0) return true;
    start = end + 1;
  }
  return false;
}

bool openDialogDisplay(std::string* error) {
  // A host without a dialog manager leaves the display to the module.
  if (!dialogManagerWithheld() && !dialogmanager::openDisplay(error)) return false;
  installAutoConfirm();
  return true;
}

void registerDialogManagerSuites(SuiteRegistry& registry) {
  if (dialogManagerWithheld()) return;
  for (const dialogmanager::SuiteTable& s : dialogmanager::suiteTables())
    registry.add(s.name, s.version, s.table);
}

void installDialogServices(FilterHost& host, const PIResourceEntry* resources) {
  registerDialogManagerSuites(host.suites());
  dialogmanager::setResourceResolver([resources](SPPluginRef) { return resources; });
  host.setDisplayPixels(&dialogmanager::displayPixels);
  setColorPicker(&pickThroughChooser);
}

std::unique_ptr<RunExtension> makeDialogExtension() { return std::make_unique<DialogExtension>(); }

}  // namespace veyra::app
