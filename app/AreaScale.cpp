#include "app/AreaScale.h"

namespace veyra::app {

void scaleByArea(const uint8_t* src, ptrdiff_t srcStride, int srcWidth, int srcHeight, uint8_t* dst, int dstWidth,
                 int dstHeight) {
  scaleByArea(src, srcStride, srcWidth, srcHeight, dstWidth, dstHeight, 0, dstHeight, 0, dstWidth,
              [&](int r, int c, uint8_t v) { dst[static_cast<size_t>(r) * dstWidth + c] = v; });
}

}  // namespace veyra::app
