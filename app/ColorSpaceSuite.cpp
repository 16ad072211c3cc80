#include "app/ColorSpaceSuite.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "app/FilterHost.h"

struct ColorID_t {
  CS_XYZ xyz{0, 0, 0};
};

namespace veyra::app {

namespace {

constexpr int32 kParamErr = -50;

struct Transforms {
  cmsHTRANSFORM xyzToRgb = nullptr, xyzToRgbDouble = nullptr, rgbToXyz = nullptr;
  cmsHTRANSFORM xyzToLab = nullptr, xyzToLabDouble = nullptr, labToXyz = nullptr;
  Transforms() {
    cmsHPROFILE xyz = cmsCreateXYZProfile();
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);  // D50
    const cmsUInt32Number intent = INTENT_RELATIVE_COLORIMETRIC;
    // Without optimisation: the optimised XYZ to 8-bit path goes through a
    // coarse table and turns sRGB red (255, 0, 0) into (252, 36, 16).
    const cmsUInt32Number flags = cmsFLAGS_NOOPTIMIZE;
    xyzToRgb = cmsCreateTransform(xyz, TYPE_XYZ_16, srgb, TYPE_RGB_8, intent, flags);
    xyzToRgbDouble = cmsCreateTransform(xyz, TYPE_XYZ_16, srgb, TYPE_RGB_DBL, intent, flags);
    rgbToXyz = cmsCreateTransform(srgb, TYPE_RGB_8, xyz, TYPE_XYZ_16, intent, flags);
    xyzToLab = cmsCreateTransform(xyz, TYPE_XYZ_16, lab, TYPE_Lab_8, intent, flags);
    xyzToLabDouble = cmsCreateTransform(xyz, TYPE_XYZ_16, lab, TYPE_Lab_DBL, intent, flags);
    labToXyz = cmsCreateTransform(lab, TYPE_Lab_8, xyz, TYPE_XYZ_16, intent, flags);
    cmsCloseProfile(xyz);
    cmsCloseProfile(srgb);
    cmsCloseProfile(lab);
  }
  ~Transforms() {
    for (cmsHTRANSFORM t : {xyzToRgb, xyzToRgbDouble, rgbToXyz, xyzToLab, xyzToLabDouble, labToXyz})
      if (t != nullptr) cmsDeleteTransform(t);
  }
  bool ok() const { return xyzToRgb && xyzToRgbDouble && rgbToXyz && xyzToLab && xyzToLabDouble && labToXyz; }
};

const Transforms& transforms() {
  static const Transforms t;
  return t;
}

// Every colour object, owned here; unknown pointers are refused.
std::map<ColorID, std::unique_ptr<ColorID_t>>& colors() {
  static std::map<ColorID, std::unique_ptr<ColorID_t>> all;
  return all;
}

ColorPicker& picker() {
  static ColorPicker p;
  return p;
}

ColorID_t* find(ColorID id) {
  auto it = colors().find(id);
  return it != colors().end() ? it->second.get() : nullptr;
}

uint8_t roundDiv(unsigned num, unsigned den) { return static_cast<uint8_t>((num + den / 2) / den); }

void toRgb(const CS_XYZ& xyz, uint8_t rgb[3], bool* outOfGamut) {
  const uint16_t in[3] = {xyz.x, xyz.y, xyz.z};
  cmsDoTransform(transforms().xyzToRgb, in, rgb, 1);
  if (outOfGamut != nullptr) {
    double d[3];
    cmsDoTransform(transforms().xyzToRgbDouble, in, d, 1);
    constexpr double eps = 1.0 / 512;
    *outOfGamut = std::any_of(d, d + 3, [](double v) { return v < -eps || v > 1 + eps; });
  }
}

CS_XYZ fromRgb(const uint8_t rgb[3]) {
  uint16_t out[3];
  cmsDoTransform(transforms().rgbToXyz, rgb, out, 1);
  return CS_XYZ{out[0], out[1], out[2]};
}

int32 make(ColorID* id) {
  if (id == nullptr) return kParamErr;
  auto c = std::make_unique<ColorID_t>();
  *id = c.get();
  colors().emplace(*id, std::move(c));
  return noErr;
}

int32 destroy(ColorID* id) {
  if (id == nullptr || find(*id) == nullptr) return kParamErr;
  colors().erase(*id);
  *id = nullptr;
  return noErr;
}

int32 stuffComponents(ColorID id, int16 space, unsigned8 c0, unsigned8 c1, unsigned8 c2, unsigned8 c3) {
  ColorID_t* c = find(id);
  if (c == nullptr || !transforms().ok()) return kParamErr;
  switch (space) {
    case plugIncolorServicesRGBSpace: {
      const uint8_t rgb[3] = {c0, c1, c2};
      c->xyz = fromRgb(rgb);
      return noErr;
    }
    case plugIncolorServicesCMYKSpace: {
      // Components with 255 = no ink: R = c x k / 255, the inverse of the derivation.
      const uint8_t rgb[3] = {roundDiv(unsigned{c0} * c3, 255), roundDiv(unsigned{c1} * c3, 255),
                              roundDiv(unsigned{c2} * c3, 255)};
      c->xyz = fromRgb(rgb);
      return noErr;
    }
    case plugIncolorServicesLabSpace:
    case plugIncolorServicesGraySpace: {
      const uint8_t lab[3] = {c0, space == plugIncolorServicesLabSpace ? c1 : uint8_t{128},
                              space == plugIncolorServicesLabSpace ? c2 : uint8_t{128}};
      uint16_t out[3];
      cmsDoTransform(transforms().labToXyz, lab, out, 1);
      c->xyz = CS_XYZ{out[0], out[1], out[2]};
      return noErr;
    }
    default: return kParamErr;
  }
}

int32 extractComponents(ColorID id, int16 space, unsigned8* c0, unsigned8* c1, unsigned8* c2, unsigned8* c3,
                        Boolean* gamutFlag) {
  ColorID_t* c = find(id);
  if (c == nullptr || c0 == nullptr || c1 == nullptr || c2 == nullptr || c3 == nullptr || !transforms().ok())
    return kParamErr;
  bool outOfGamut = false;
  switch (space) {
    case plugIncolorServicesRGBSpace: {
      uint8_t rgb[3];
      toRgb(c->xyz, rgb, &outOfGamut);
      *c0 = rgb[0], *c1 = rgb[1], *c2 = rgb[2], *c3 = 0;
      break;
    }
    case plugIncolorServicesCMYKSpace: {
      uint8_t rgb[3];
      toRgb(c->xyz, rgb, &outOfGamut);
      const unsigned m = std::max({rgb[0], rgb[1], rgb[2]});
      // Presented value = 255 - ink; for C that is 255 - round((m - R) x 255 / m).
      const auto present = [m](unsigned v) -> uint8_t {
        return m == 0 ? 255 : static_cast<uint8_t>(255 - roundDiv((m - v) * 255, m));
      };
      *c0 = present(rgb[0]), *c1 = present(rgb[1]), *c2 = present(rgb[2]);
      *c3 = static_cast<uint8_t>(m);
      break;
    }
    case plugIncolorServicesLabSpace:
    case plugIncolorServicesGraySpace: {
      const uint16_t in[3] = {c->xyz.x, c->xyz.y, c->xyz.z};
      uint8_t lab[3];
      cmsDoTransform(transforms().xyzToLab, in, lab, 1);
      cmsCIELab d;
      cmsDoTransform(transforms().xyzToLabDouble, in, &d, 1);
      outOfGamut = d.L > 100.0 + 1e-3 || d.a < -128.0 || d.a > 127.0 || d.b < -128.0 || d.b > 127.0;
      if (space == plugIncolorServicesLabSpace) {
        *c0 = lab[0], *c1 = lab[1], *c2 = lab[2], *c3 = 0;
      } else {
        *c0 = lab[0], *c1 = *c2 = *c3 = 0;
      }
      break;
    }
    default: return kParamErr;
  }
  if (gamutFlag != nullptr) *gamutFlag = outOfGamut;
  return noErr;
}

int32 stuffXyz(ColorID id, CS_XYZ xyz) {
  ColorID_t* c = find(id);
  if (c == nullptr) return kParamErr;
  c->xyz = xyz;
  return noErr;
}

int32 extractXyz(ColorID id, CS_XYZ* xyz) {
  ColorID_t* c = find(id);
  if (c == nullptr || xyz == nullptr) return kParamErr;
  *xyz = c->xyz;
  return noErr;
}

std::string promptText(ASZString prompt) {
  if (prompt == nullptr) return {};
  char buf[512];
  if (zStringSuite()->AsCString(prompt, buf, sizeof buf) != 0) return {};
  return buf;
}

int32 pickColor(ColorID* id, ASZString prompt) {
  if (id == nullptr || find(*id) == nullptr) return kParamErr;
  if (!picker()) return userCanceledErr;
  CS_XYZ chosen = find(*id)->xyz;
  try {
    if (!picker()(chosen, promptText(prompt))) return userCanceledErr;
  } catch (...) {
    return userCanceledErr;
  }
  find(*id)->xyz = chosen;
  return noErr;
}

const PSColorSpaceSuite1 gColorSpace = {make,     destroy,    stuffComponents, extractComponents,
                                        stuffXyz, extractXyz, pickColor};

}  // namespace

void setColorPicker(ColorPicker p) { picker() = std::move(p); }
size_t liveColorCount() { return colors().size(); }
const PSColorSpaceSuite1* colorSpaceSuite() { return &gColorSpace; }

}  // namespace veyra::app
