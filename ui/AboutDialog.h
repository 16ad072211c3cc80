// The about box: one picture, the plug-in's splash bitmap; a click on it
// closes the box.
#pragma once

#include <memory>

#include "adm/Dialog.h"
#include "adm/Item.h"
#include "host/FilterRecord.h"

namespace veyra {

class SplashItem : public ADM::Item {
 public:
  // A picture button sized to the named bitmap resource of the plug-in.
  SplashItem(ADM::Dialog* dialog, int32 itemID, int32 resourceId);
  // Frees the icon through the icon suite.
  ~SplashItem() override;

  // The default item drawing, then the picture at the item's origin.
  void draw(ADM::Drawer& drawer) override;
  // Any notification ends the modal run as if item 1 had been pressed.
  void notify(ADM::Notifier& notifier) override;

  ADMIconRef icon() const { return icon_; }

 private:
  struct Picture {
    ADMIconRef icon;
    int32 width, height;
  };
  static Picture load(int32 resourceId);
  SplashItem(ADM::Dialog* dialog, int32 itemID, const Picture& picture);

  ADMIconRef icon_;
};

class AboutDialog : public ADM::Dialog {
 public:
  static constexpr const char* kName = "KVO_VEYRA_ABOUT";
  static constexpr const char* kTitle = "About Veyra!";
  static constexpr int32 kSplashResource = 102;

  // Creates the dialog, its splash item, no default or cancel item, and
  // sizes it to the picture.
  AboutDialog();
  ~AboutDialog() override;

  SplashItem& splash() const { return *splash_; }

  // The whole about call: suites, the box centred and run modally, then
  // torn down. Raises SuiteError when the dialog manager is missing.
  static void show(const AboutRecord* about);

 private:
  std::unique_ptr<SplashItem> splash_;
};

}  // namespace veyra
