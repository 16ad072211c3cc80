// Lights one rectangle of the document: builds the light map from the matte
// and the placed shape, softens it and applies it with the light colour.
// One renderer serves one final render or one run of the dialog.
#pragma once

#include <cstdint>

#include "host/HostDocument.h"
#include "host/LightParameters.h"

namespace veyra {

class LightRenderer {
public:
  LightRenderer(HostDocument& host, LightParameters& params, bool preview);
  ~LightRenderer();
  LightRenderer(const LightRenderer&) = delete;
  LightRenderer& operator=(const LightRenderer&) = delete;

  // Stores the size of the whole image being rendered, converts the light
  // colour into the document's colour space through the host and rebuilds the
  // matte table.
  void prepareForSize(int32_t fullWidth, int32_t fullHeight);
  // Lights in place the pixels of rect (full-image coordinates), which lie in
  // the buffer from its first row and column on.
  void renderTile(HostBuffer& tile, const VRect& rect);

  void setZoom(float zoomX, float zoomY) {
    zoomX_ = zoomX;
    zoomY_ = zoomY;
  }
  bool preview() const { return preview_; }
  int32_t fullWidth() const { return fullWidth_; }
  int32_t fullHeight() const { return fullHeight_; }
  const uint8_t* lightColor() const { return lightColor_; }
  const uint8_t* matteTable() const { return matteTable_; }

private:
  void convertLightColor();

  HostDocument& host_;
  LightParameters& params_;
  bool preview_;
  float zoomX_ = 1.0f;
  float zoomY_ = 1.0f;
  int32_t fullWidth_ = 0;
  int32_t fullHeight_ = 0;
  uint8_t lightColor_[4] = {0, 0, 0, 0};
  uint8_t matteTable_[256];
};

}  // namespace veyra
