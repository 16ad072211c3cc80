// A colour swatch that runs the host's own colour picker and keeps the colour
// both as the host's 16-bit XYZ components and as RGB for display.
#pragma once

#include <cstdint>

#include "adm/ColorPot.h"

namespace veyra {

class CS_ColorPot : public ADM::ColorPot {
 public:
  // The swatch, white.
  CS_ColorPot(ADM::Dialog* dialog, int32 itemID, const ADMRect& rect);

  // Stores the XYZ colour and shows its RGB conversion by the host (8-bit
  // components widened by 257). Raises SuiteError without the colour-space
  // suite.
  void setXYZ(uint16_t x, uint16_t y, uint16_t z);
  uint16_t x() const { return xyz_[0]; }
  uint16_t y() const { return xyz_[1]; }
  uint16_t z() const { return xyz_[2]; }

  // Runs the host's colour picker on the stored XYZ colour; on confirmation
  // stores the chosen XYZ and shows its RGB. Answers whether a colour was
  // chosen. Without the colour-space or string suite the suite error is kept
  // for the dialog's run and the modal run ends cancelled.
  bool chooseColor(ADMRGBColor& color) override;

 private:
  bool pickColor();

  uint16_t xyz_[3] = {0, 0, 0};
};

}  // namespace veyra
