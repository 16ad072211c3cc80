#pragma once

#include <cstdint>

namespace fx {

// A pixel rectangle: top and left inclusive, bottom and right exclusive.
struct Rect {
  int32_t top = 0;
  int32_t left = 0;
  int32_t bottom = 0;
  int32_t right = 0;
};

}  // namespace fx
