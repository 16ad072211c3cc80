#include "ui/AboutDialog.h"

#include "adm/SuiteSet.h"
#include "host/Errors.h"

namespace veyra {

namespace {
constexpr const char* kSplashName = "IDB_SPLASH";
}  // namespace

SplashItem::Picture SplashItem::load(int32 resourceId) {
  Picture picture{nullptr, 0, 0};
  ADM::IconSuiteScope icons;
  ADM::SuiteSet* set = ADM::SuiteSet::current();
  if (icons.suite() == nullptr || set == nullptr) return picture;
  picture.icon = icons.suite()->GetFromResource(set->plugin(), kSplashName, resourceId, 0);
  if (picture.icon != nullptr) {
    picture.width = icons.suite()->GetWidth(picture.icon);
    picture.height = icons.suite()->GetHeight(picture.icon);
  }
  return picture;
}

SplashItem::SplashItem(ADM::Dialog* dialog, int32 itemID, int32 resourceId)
    : SplashItem(dialog, itemID, load(resourceId)) {}

SplashItem::SplashItem(ADM::Dialog* dialog, int32 itemID, const Picture& picture)
    : ADM::Item(dialog, itemID, kADMPicturePushButtonType,
                ADM::makeRect(0, 0, picture.width, picture.height)),
      icon_(picture.icon) {}

SplashItem::~SplashItem() {
  if (icon_ == nullptr) return;
  ADM::IconSuiteScope icons;
  if (icons.suite() != nullptr) icons.suite()->Destroy(icon_);
}

void SplashItem::draw(ADM::Drawer& drawer) {
  defaultDraw(drawer);
  if (icon_ != nullptr) drawer.drawIcon(icon_, ADMPoint{0, 0});
}

void SplashItem::notify(ADM::Notifier&) { dialog()->endModal(1, false); }

AboutDialog::AboutDialog() : ADM::Dialog(kName, 0, kADMModalDialogStyle) {
  if (ref() == nullptr) throw SuiteError(kSPSuiteNotFoundError);
  setText(kTitle);
  splash_ = std::make_unique<SplashItem>(this, 1, kSplashResource);
  setDefaultItemID(0);
  setCancelItemID(0);
  const ADMRect r = splash_->localRect();
  sizeTo(ADM::width(r), ADM::height(r));
}

AboutDialog::~AboutDialog() { splash_.reset(); }

void AboutDialog::show(const AboutRecord* about) {
  ADM::SuiteSet suites(about != nullptr ? about->sSPBasic : nullptr,
                       about != nullptr ? static_cast<SPPluginRef>(about->plugInRef) : nullptr);
  if (ADM::sBasic == nullptr || ADM::sDialog == nullptr || ADM::sItem == nullptr ||
      ADM::sNotifier == nullptr || ADM::sDrawer == nullptr)
    throw SuiteError(kSPSuiteNotFoundError);
  AboutDialog dialog;
  ADMRect screen{0, 0, 0, 0};
  ADM::sBasic->GetScreenDimensions(&screen);
  const ADMRect bounds = dialog.boundsRect();
  dialog.moveTo((ADM::width(screen) - ADM::width(bounds)) / 2,
                (ADM::height(screen) - ADM::height(bounds)) / 2);
  dialog.runModal();
}

}  // namespace veyra
