#include "ui/CS_ColorPot.h"

#include <cstring>

#include "adm/SuiteSet.h"
#include "host/ASZStringSuite.h"
#include "host/Errors.h"
#include "host/PIColorSpaceSuite.h"
#include "ui/HandlerGuard.h"

namespace veyra {

namespace {

constexpr const char* kPickerPrompt = "Choose the light colour:";

// One suite acquired through the current suite set for the scope of an
// operation; a failed acquisition raises the host's error.
template <typename SuiteT>
class SingleUseSuite {
 public:
  SingleUseSuite(const char* name, int32 version) : name_(name), version_(version) {
    set_ = ADM::SuiteSet::current();
    if (set_ == nullptr) throw SuiteError(kSPSuiteNotFoundError);
    const void* table = nullptr;
    const SPErr err = set_->acquire(name, version, &table);
    if (err != kSPNoError) throw SuiteError(err);
    suite_ = static_cast<const SuiteT*>(table);
  }
  ~SingleUseSuite() { set_->release(name_, version_); }
  SingleUseSuite(const SingleUseSuite&) = delete;
  SingleUseSuite& operator=(const SingleUseSuite&) = delete;
  const SuiteT* operator->() const { return suite_; }

 private:
  ADM::SuiteSet* set_ = nullptr;
  const char* name_;
  int32 version_;
  const SuiteT* suite_ = nullptr;
};

// 8-bit components shown as 16-bit: 255 becomes 65535.
ADMRGBColor widen(unsigned8 r, unsigned8 g, unsigned8 b) {
  return ADMRGBColor{static_cast<unsigned16>(r * 257), static_cast<unsigned16>(g * 257),
                     static_cast<unsigned16>(b * 257)};
}

}  // namespace

CS_ColorPot::CS_ColorPot(ADM::Dialog* dialog, int32 itemID, const ADMRect& rect)
    : ADM::ColorPot(dialog, itemID, rect) {
  setColor(ADMRGBColor{65535, 65535, 65535});
}

void CS_ColorPot::setXYZ(uint16_t x, uint16_t y, uint16_t z) {
  xyz_[0] = x;
  xyz_[1] = y;
  xyz_[2] = z;
  SingleUseSuite<PSColorSpaceSuite1> colors(kPSColorSpaceSuite, kPSColorSpaceSuiteVersion1);
  ColorID color = nullptr;
  colors->Make(&color);
  colors->StuffXYZ(color, CS_XYZ{x, y, z});
  unsigned8 r = 0, g = 0, b = 0, unused = 0;
  Boolean gamut = false;
  colors->ExtractComponents(color, plugIncolorServicesRGBSpace, &r, &g, &b, &unused, &gamut);
  colors->Delete(&color);
  setColor(widen(r, g, b));
}

bool CS_ColorPot::chooseColor(ADMRGBColor&) {
  // Called from the host's notification: a missing suite ends the dialog
  // and is raised again once the host's modal run has returned.
  bool chosen = false;
  runGuarded(dialog(), [&] { chosen = pickColor(); });
  return chosen;
}

bool CS_ColorPot::pickColor() {
  SingleUseSuite<PSColorSpaceSuite1> colors(kPSColorSpaceSuite, kPSColorSpaceSuiteVersion1);
  SingleUseSuite<ASZStringSuite1> strings(kASZStringSuite, kASZStringSuiteVersion1);

  ASZString prompt = nullptr;
  strings->MakeFromCString(kPickerPrompt, std::strlen(kPickerPrompt), &prompt);

  ColorID color = nullptr;
  colors->Make(&color);
  colors->StuffXYZ(color, CS_XYZ{xyz_[0], xyz_[1], xyz_[2]});
  const int32 picked = colors->PickColor(&color, prompt);

  // Read back whatever the colour holds now: the chosen colour, or the stored
  // one unchanged when the user cancelled.
  CS_XYZ xyz{xyz_[0], xyz_[1], xyz_[2]};
  colors->ExtractXYZ(color, &xyz);
  unsigned8 r = 0, g = 0, b = 0, unused = 0;
  Boolean gamut = false;
  colors->ExtractComponents(color, plugIncolorServicesRGBSpace, &r, &g, &b, &unused, &gamut);
  colors->Delete(&color);
  if (prompt != nullptr) strings->Release(prompt);

  if (picked != 0) return false;
  xyz_[0] = xyz.x;
  xyz_[1] = xyz.y;
  xyz_[2] = xyz.z;
  setColor(widen(r, g, b));
  return true;
}

}  // namespace veyra
