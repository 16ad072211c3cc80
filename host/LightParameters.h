// The one record that holds every setting of the effect. The host keeps it
// between runs in the filter record's parameter handle, so it is plain,
// fixed-size data without pointers.
#pragma once

#include <cstdint>
#include <type_traits>

#include "host/PathBuffer.h"

namespace veyra {

enum LightBlendMode : int32_t { kLightAdd = 0, kLightSubtract = 1, kLightScreen = 2 };
enum LightSource : int32_t { kSourceImage = 0, kSourceMatte = 1 };
enum MatteChannel : int32_t {
  kChannelLuminance = 0,
  kChannelRed = 1,
  kChannelGreen = 2,
  kChannelBlue = 3,
  kChannelCyan = 4,
  kChannelMagenta = 5,
  kChannelYellow = 6,
  kChannelHue = 7,
  kChannelSaturation = 8
};
enum ShapeBlendMode : int32_t {
  kShapeNone = 0,
  kShapeOnly = 1,
  kShapeAdd = 2,
  kShapeSubtract = 3,
  kShapeMultiply = 4,
  kShapeScreen = 5,
  kShapeDifference = 6,
  kShapeDarken = 7,
  kShapeLighten = 8
};

struct CornerPoint {
  double x;
  double y;
};

class LightParameters {
public:
  // Every field at its default, the shape file cleared.
  LightParameters() { resetToDefaults(); }
  LightParameters(const LightParameters& other) { assign(other); }
  LightParameters& operator=(const LightParameters& other) {
    assign(other);
    return *this;
  }

  void resetToDefaults();
  // Copies every field; assigning a record to itself does nothing.
  void assign(const LightParameters& other);
  // True when all eight corner values are exactly their defaults.
  bool cornerPinIsIdentity() const;
  // Field-by-field equality (the shape file compared as a string).
  bool operator==(const LightParameters& other) const;
  bool operator!=(const LightParameters& other) const { return !(*this == other); }

  static constexpr CornerPoint kDefaultCorners[4] = {{0.0, 0.0}, {1.0, 0.0}, {1.0, 1.0}, {0.0, 1.0}};

  int32_t lightBlendMode;     // LightBlendMode
  int32_t lightSource;        // LightSource
  double lightBrightness;     // percent
  double lightDisplacement;
  double lightBlur;           // pixels of the full image
  uint16_t lightColor[3];     // X, Y, Z in the colour-space suite's 16-bit form
  int32_t matteChannel;       // MatteChannel
  double mattePosition;       // percent
  double matteRange;          // percent
  double matteBlur;           // pixels
  int32_t shapeBlendMode;     // ShapeBlendMode
  PathBuffer shapeFile;
  double shapeOpacity;        // percent
  double shapeBlurX;          // pixels
  double shapeBlurY;
  double shapePositionX;      // percent of the canvas
  double shapePositionY;
  double shapeScaleX;         // percent
  double shapeScaleY;
  double shapeRotation;       // degrees
  CornerPoint corners[4];     // upper left, upper right, lower right, lower left
};

static_assert(std::is_standard_layout<LightParameters>::value, "the host keeps the record as a plain block");

}  // namespace veyra
