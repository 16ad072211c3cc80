#include "host/LightParameters.h"

#include <cstring>

namespace veyra {

constexpr CornerPoint LightParameters::kDefaultCorners[4];

void LightParameters::resetToDefaults() {
  lightBlendMode = kLightAdd;
  lightSource = kSourceImage;
  lightBrightness = 100.0;
  lightDisplacement = 0.0;
  lightBlur = 10.0;
  lightColor[0] = lightColor[1] = lightColor[2] = 32768;
  matteChannel = kChannelLuminance;
  mattePosition = 50.0;
  matteRange = 25.0;
  matteBlur = 0.0;
  shapeBlendMode = kShapeAdd;
  shapeFile.clear();
  shapeOpacity = 100.0;
  shapeBlurX = 0.0;
  shapeBlurY = 0.0;
  shapePositionX = 0.0;
  shapePositionY = 0.0;
  shapeScaleX = 100.0;
  shapeScaleY = 100.0;
  shapeRotation = 0.0;
  for (int i = 0; i < 4; ++i) corners[i] = kDefaultCorners[i];
}

void LightParameters::assign(const LightParameters& o) {
  if (&o == this) return;
  lightBlendMode = o.lightBlendMode;
  lightSource = o.lightSource;
  lightBrightness = o.lightBrightness;
  lightDisplacement = o.lightDisplacement;
  lightBlur = o.lightBlur;
  std::memcpy(lightColor, o.lightColor, sizeof lightColor);
  matteChannel = o.matteChannel;
  mattePosition = o.mattePosition;
  matteRange = o.matteRange;
  matteBlur = o.matteBlur;
  shapeBlendMode = o.shapeBlendMode;
  shapeFile.copy(o.shapeFile);
  shapeOpacity = o.shapeOpacity;
  shapeBlurX = o.shapeBlurX;
  shapeBlurY = o.shapeBlurY;
  shapePositionX = o.shapePositionX;
  shapePositionY = o.shapePositionY;
  shapeScaleX = o.shapeScaleX;
  shapeScaleY = o.shapeScaleY;
  shapeRotation = o.shapeRotation;
  std::memcpy(corners, o.corners, sizeof corners);
}

bool LightParameters::cornerPinIsIdentity() const {
  for (int i = 0; i < 4; ++i) {
    if (corners[i].x != kDefaultCorners[i].x || corners[i].y != kDefaultCorners[i].y) return false;
  }
  return true;
}

bool LightParameters::operator==(const LightParameters& o) const {
  if (lightBlendMode != o.lightBlendMode || lightSource != o.lightSource ||
      lightBrightness != o.lightBrightness || lightDisplacement != o.lightDisplacement ||
      lightBlur != o.lightBlur || matteChannel != o.matteChannel || mattePosition != o.mattePosition ||
      matteRange != o.matteRange || matteBlur != o.matteBlur || shapeBlendMode != o.shapeBlendMode ||
      !shapeFile.equals(o.shapeFile) || shapeOpacity != o.shapeOpacity || shapeBlurX != o.shapeBlurX ||
      shapeBlurY != o.shapeBlurY || shapePositionX != o.shapePositionX ||
      shapePositionY != o.shapePositionY || shapeScaleX != o.shapeScaleX || shapeScaleY != o.shapeScaleY ||
      shapeRotation != o.shapeRotation)
    return false;
  for (int i = 0; i < 3; ++i)
    if (lightColor[i] != o.lightColor[i]) return false;
  for (int i = 0; i < 4; ++i)
    if (corners[i].x != o.corners[i].x || corners[i].y != o.corners[i].y) return false;
  return true;
}

}  // namespace veyra
