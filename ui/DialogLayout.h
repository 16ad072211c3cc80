// Where every control of the light dialog sits, derived from the preview
// width by the dialog's layout rules: two columns of equal width, blocks 7
// apart, framed groups with 7-pixel insets and 32-pixel slider rows.
#pragma once

#include "adm/ADMSuites.h"

namespace veyra {

struct LightDialogLayout {
  static constexpr int kPreviewWidth = 377;
  static constexpr int kPreviewHeight = 290;
  static constexpr int kMargin = 7;
  static constexpr int kRowHeight = 32;

  int dialogWidth;
  int dialogHeight;
  ADMRect preview;
  ADMRect viewButtons[4];
  ADMRect zoomOut, zoomLabel, zoomIn;
  ADMRect lightFrame;
  ADMRect lightBlend, lightSource;  // label-and-popup pairs
  ADMRect lightSliders[3];          // brightness, displacement, light blur
  ADMRect colorLabel, colorSwatch, eyeDropper;
  ADMRect ok, cancel, reset;
  ADMRect matteFrame;
  ADMRect matteChannel;
  ADMRect matteSliders[3];  // position, range, blur
  ADMRect shapeFrame;
  ADMRect selectButton, shapeFileLabel;
  ADMRect shapeBlend;
  ADMRect shapeSliders[8];  // opacity, X/Y blur, X/Y position, X/Y scale, rotation

  // The layout for a preview w pixels wide (and kPreviewHeight high).
  static LightDialogLayout compute(int w = kPreviewWidth);
};

}  // namespace veyra
