// Resizing a plane by area averaging, as the channel-port suite's scaled
// read does.
#ifndef VEYRA_APP_AREASCALE_H
#define VEYRA_APP_AREASCALE_H

#include <cstddef>
#include <cstdint>

namespace veyra::app {

// Source: srcWidth x srcHeight samples, row r at src + r x srcStride.
// Destination: dstWidth x dstHeight samples. Each destination pixel covers
// exactly srcWidth/dstWidth by srcHeight/dstHeight source pixels (fractions
// included); its value is the mean of the source pixels weighted by the area
// of each that it covers, rounded half up. In integer arithmetic: along one
// axis, destination pixel i covers [i x S, (i+1) x S) and source pixel y
// covers [y x D, (y+1) x D) in units of 1/(S x D) of the source extent, so
// every weight is an integer overlap and the weights of one destination
// pixel sum to S along that axis; the value is (sum of weight products x
// samples + S_w x S_h / 2) / (S_w x S_h), exact in 64 bits.
//
// Only destination rows [row0, row1) and columns [col0, col1) are computed;
// sample (r, c) of the destination goes to put(r, c, value).
template <typename Put>
void scaleByArea(const uint8_t* src, ptrdiff_t srcStride, int srcWidth, int srcHeight, int dstWidth, int dstHeight,
                 int row0, int row1, int col0, int col1, Put put);

// Plain version into a packed destination of dstWidth x dstHeight.
void scaleByArea(const uint8_t* src, ptrdiff_t srcStride, int srcWidth, int srcHeight, uint8_t* dst, int dstWidth,
                 int dstHeight);

}  // namespace veyra::app

#include "app/AreaScaleImpl.h"

#endif
