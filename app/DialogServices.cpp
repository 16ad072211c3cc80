#include "app/DialogServices.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "app/ColorSpaceSuite.h"
#include "app/ImageFile.h"
#include "app/dialog/AdmHost.h"

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
  if (!adm::pickColor(prompt.c_str(), in, out)) return false;
  color = rgbToXyz(out);
  return true;
}

// Saves what the dialog window shows, then presses the item (OK, or the
// about box's picture, both id 1; Cancel is 2).
void captureAndPress(ADMDialogRef dialog, const std::string& file, int32 item) {
  std::vector<unsigned char> rgb;
  int width = 0, height = 0;
  if (adm::captureWindow(dialog, rgb, width, height) && width > 0 && height > 0) {
    Document shot(width, height, ColorMode::RGB);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        for (int c = 0; c < 3; ++c) shot.at(c, x, y) = rgb[(static_cast<size_t>(y) * width + x) * 3 + c];
    try {
      writePng(shot, file);
    } catch (const ImageError&) {
      // A screenshot that cannot be written does not stop the run.
    }
  }
  if (ADMItemRef target = adm::findItem(dialog, item)) adm::click(target);
}

void installAutoConfirm() {
  const char* value = std::getenv(kAutoConfirmVariable);
  if (value == nullptr || *value == 0) return;
  std::string file = value;
  int32 item = 1;
  const std::string cancelPrefix = "cancel:";
  if (file.compare(0, cancelPrefix.size(), cancelPrefix) == 0) {
    file = file.substr(cancelPrefix.size());
    item = 2;
  }
  adm::setModalDriver([file, item](ADMDialogRef dialog) { captureAndPress(dialog, file, item); });
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

bool openDialogDisplay(std::string* error) {
  if (!adm::openDisplay(error)) return false;
  installAutoConfirm();
  return true;
}

void installDialogServices(FilterHost& host, const PIResourceEntry* resources) {
  adm::registerAdmSuites(host.suites());
  adm::setResourceResolver([resources](SPPluginRef) { return resources; });
  host.setDisplayPixels(&adm::displayPixels);
  setColorPicker(&pickThroughChooser);
}

std::unique_ptr<RunExtension> makeDialogExtension() { return std::make_unique<DialogExtension>(); }

}  // namespace veyra::app
