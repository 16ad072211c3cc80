#include "render/LightRenderer.h"

#include "host/HostSuite.h"
#include "host/PIColorSpaceSuite.h"

namespace veyra {

LightRenderer::LightRenderer(HostDocument& host, LightParameters& params, bool preview)
    : host_(host), params_(params), preview_(preview) {
  for (int i = 0; i < 256; ++i) matteTable_[i] = static_cast<uint8_t>(i);
}

LightRenderer::~LightRenderer() = default;

void LightRenderer::prepareForSize(int32_t fullWidth, int32_t fullHeight) {
  fullWidth_ = fullWidth;
  fullHeight_ = fullHeight;
  convertLightColor();
}

// The colour step: the parameters hold the light colour as 16-bit XYZ; the
// render needs it as four bytes in the document's own colour space and
// channel order. Grayscale documents take the CMYK conversion and use its
// first component.
void LightRenderer::convertLightColor() {
  HostSuite<PSColorSpaceSuite1> colors(host_.record()->sSPBasic, kPSColorSpaceSuite, kPSColorSpaceSuiteVersion1);
  int16_t space;
  switch (host_.record()->imageMode) {
    case plugInModeGrayScale:
    case plugInModeCMYKColor:
      space = plugIncolorServicesCMYKSpace;
      break;
    case plugInModeLabColor:
      space = plugIncolorServicesLabSpace;
      break;
    default:
      space = plugIncolorServicesRGBSpace;
      break;
  }
  ColorID color = nullptr;
  colors->Make(&color);
  CS_XYZ xyz;
  xyz.x = params_.lightColor[0];
  xyz.y = params_.lightColor[1];
  xyz.z = params_.lightColor[2];
  colors->StuffXYZ(color, xyz);
  unsigned8 c[4] = {0, 0, 0, 0};
  Boolean outOfGamut = false;
  colors->ExtractComponents(color, space, &c[0], &c[1], &c[2], &c[3], &outOfGamut);
  colors->Delete(&color);
  for (int i = 0; i < 4; ++i) lightColor_[i] = c[i];
}

// The compositing pipeline arrives with the light engine; until then a tile
// is written back as it was read.
void LightRenderer::renderTile(HostBuffer&, const VRect&) {}

}  // namespace veyra
