#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "fx/PixelImage.h"
#include "fx/Rect.h"

namespace fx {

// Iterated box blur with fractional end taps, in place, in integer fixed point.
//
// Along each direction a box of 2n - 1 full taps plus one fractional tap at each end is run
// passes = extraPasses + 1 times; all horizontal passes run before any vertical pass. Near the
// ends of a line the window is cut and renormalised over the samples that remain.
class BoxBlur {
 public:
  float radiusX = 0.0f;
  float radiusY = 0.0f;
  int32_t extraPasses = 0;

  // Radii 0, no extra pass, no scratch line.
  BoxBlur() = default;
  BoxBlur(const BoxBlur&) = delete;
  BoxBlur& operator=(const BoxBlur&) = delete;
  // Frees the scratch line.
  ~BoxBlur() = default;

  // Stores both radii in pixels (the box half-widths are half of them).
  void setRadii(float x, float y) {
    radiusX = x;
    radiusY = y;
  }
  // Stores the number of box passes per direction minus one.
  void setExtraPasses(int32_t count) { extraPasses = count; }

  // Blurs the pixels of image inside rect (clipped to the image) in place. A direction whose
  // half-width is not positive (or NaN) is skipped, and lines too short for a half-width of at
  // least 1 are left unchanged. Throws std::invalid_argument for images that are not 1 or 4
  // channels of 8 or 16 bits, whose rows are shorter than their pixels, or whose 16-bit samples
  // are not 2-byte aligned; std::bad_alloc when the scratch line cannot be had.
  void apply(PixelImage& image, const Rect& rect);

 private:
  void reserveScratch(size_t bytes);

  std::unique_ptr<uint8_t[]> scratch_;
  size_t scratchCapacity_ = 0;
};

namespace detail {

// Fixed-point constants of one line filter.
struct BoxLineParams {
  int32_t n = 0;          // half-width in taps; the line is left unchanged when n < 1
  uint32_t full = 0;      // F: weight of the 2n - 1 inner taps (256 or 65536)
  uint32_t frac = 0;      // d: weight of the two end taps
  uint64_t window = 0;    // W = F (2n - 1) + 2d
  uint64_t recip = 0;     // R = floor(2^shift / W)
  uint64_t bias = 0;      // B = max sample x (2^shift - R W)
  int shift = 0;          // 23 for 8-bit samples, 47 for 16-bit samples
  bool useRecip = false;  // middle outputs by reciprocal (false: exact division)
  bool wideSums = false;  // 8-bit sums need 64 bits (255 W >= 2^32)
};

// The constants for half-width half over a line of length samples. bytesPerChannel is 1 or 2;
// fullPrecisionFraction scales the fraction without first rounding it to a 32-bit float.
// The reciprocal is used for the middle outputs only where it is exact or at most one too high
// on a constant line: e x 255 < 2^24 for 8-bit and e x 65535 < 2^48 for 16-bit samples, with
// e = 2^shift - R W; wider windows divide exactly.
BoxLineParams boxLineParams(float half, int64_t length, int32_t bytesPerChannel, bool fullPrecisionFraction);

// floor(s / d) for 8-bit window sums: s <= 255 d and 1 <= d <= kMaxReciprocalDivisor, given
// inverse = 1.0 / d. (s + 0.5) / d lies at least 0.5 / d >= 2^-24 away from every integer, while
// the two roundings of the product err by less than 2^-44 (the value is below 256), so the
// truncated product is the exact quotient.
constexpr uint32_t kMaxReciprocalDivisor = 1u << 23;
inline uint32_t quotientByReciprocal(uint32_t s, double inverse) {
  return static_cast<uint32_t>((static_cast<double>(static_cast<int32_t>(s)) + 0.5) * inverse);
}

}  // namespace detail

}  // namespace fx
