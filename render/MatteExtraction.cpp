#include "render/MatteExtraction.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "fx/Simd.h"
#include "host/LightParameters.h"
#include "host/PITypes.h"
#include "render/Div255.h"

namespace veyra {

uint8_t cmykLuminance(uint8_t c, uint8_t m, uint8_t y, uint8_t k) {
  const double kk = k / 255.0;
  const double a = 0.299 * (c / 255.0) + 0.587 * (m / 255.0) + 0.114 * (y / 255.0);
  const double v = (1.0 - (kk * (1.0 - a) + (1.0 - kk))) * 255.0;
  // v is k x a x 255 up to rounding: within a hair of 0..255.
  if (!(v > 0.0)) return 0;
  if (v >= 255.0) return 255;
  return static_cast<uint8_t>(v);
}

namespace {

constexpr float kByteScale = 0.003921569f;  // 1/255 in single precision
constexpr float kHueToIndex = 0.7083333f;   // 255/360

struct HueSaturation {
  float hue;  // degrees, or -1 when undefined
  float max;
  float delta;
};

HueSaturation hueSaturation(uint8_t r8, uint8_t g8, uint8_t b8) {
  const float r = r8 * kByteScale, g = g8 * kByteScale, b = b8 * kByteScale;
  float max = r, min = r;
  if (g > max) max = g;
  if (b > max) max = b;
  if (g < min) min = g;
  if (b < min) min = b;
  const float d = max - min;
  const float s = max != 0.0f ? d / max : 0.0f;
  HueSaturation hs{-1.0f, max, d};
  if (s == 0.0f) return hs;
  float h;
  if (r == max)
    h = (g - b) / d;
  else if (g == max)
    h = 2.0f + (b - r) / d;
  else
    h = 4.0f + (r - g) / d;
  h *= 60.0f;
  if (h < 0.0f) h += 360.0f;
  hs.hue = h;
  return hs;
}

// Truncates a single-precision index known to lie in 0..255 (up to rounding).
uint8_t indexByte(float v) {
  if (!(v > 0.0f)) return 0;
  if (v >= 255.0f) return 255;
  return static_cast<uint8_t>(v);
}

}  // namespace

uint8_t rgbHueIndex(uint8_t r, uint8_t g, uint8_t b) {
  const HueSaturation hs = hueSaturation(r, g, b);
  return hs.hue < 0.0f ? 0 : indexByte(hs.hue * kHueToIndex);
}

uint8_t rgbSaturationIndex(uint8_t r, uint8_t g, uint8_t b) {
  const HueSaturation hs = hueSaturation(r, g, b);
  return hs.max == 0.0f ? 0 : indexByte(hs.delta / hs.max * 255.0f);
}

namespace {

// Runs value(pixel) through the table for every pixel of a four-byte tile.
template <typename ValueOf>
void extractRows(const uint8_t* tile, int32_t tileRowBytes, int32_t width, int32_t height,
                 const uint8_t* table, uint8_t* matte, int32_t matteRowBytes, ValueOf value) {
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* p = tile + static_cast<intptr_t>(y) * tileRowBytes;
    uint8_t* out = matte + static_cast<intptr_t>(y) * matteRowBytes;
    for (int32_t x = 0; x < width; ++x, p += 4) out[x] = table[value(p)];
  }
}

// Pixels per pass of the luminance loop.
constexpr int kPass = 64;

// RGB luminance: a pass of weighted sums (at most 255 x 255, so 16-bit lanes
// with the 16-bit division suffice and the loop vectorises), then the table.
void extractRgbLuminance(const uint8_t* tile, int32_t rowBytes, int32_t w, int32_t h, const uint8_t* table,
                         uint8_t* matte, int32_t matteRowBytes) {
  uint8_t v[kPass];
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* p = tile + static_cast<intptr_t>(y) * rowBytes;
    uint8_t* out = matte + static_cast<intptr_t>(y) * matteRowBytes;
    for (int32_t x = 0; x < w; x += kPass, p += 4 * kPass, out += kPass) {
      const int n = static_cast<int>(std::min<int32_t>(kPass, w - x));
      auto sum = [p](int i) {
        return div255Small(static_cast<uint16_t>(76u * p[4 * i] + 150u * p[4 * i + 1] + 29u * p[4 * i + 2]));
      };
      if (n == kPass) {
        for (int i = 0; i < kPass; ++i) v[i] = static_cast<uint8_t>(sum(i));
      } else {
        for (int i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(sum(i));
      }
      for (int i = 0; i < n; ++i) out[i] = table[v[i]];
    }
  }
}

#if defined(__x86_64__) || defined(__i386__)
// extractRgbLuminance with AVX2, eight pixels per step: the bytes widened to
// 16 bits, 76 r + 150 g and 29 b as two 32-bit products per pixel (pmaddwd)
// added in pairs, the division by 255 as div255Small's steps in 32-bit
// lanes (the same values: no step leaves 16 bits), and the table read for
// all eight at once from a copy of it in 32-bit entries. Rows end in the
// plain loop.
FX_TARGET_AVX2 void extractRgbLuminanceAvx2(const uint8_t* tile, int32_t rowBytes, int32_t w, int32_t h,
                                            const uint8_t* table, uint8_t* matte, int32_t matteRowBytes) {
  alignas(32) int32_t wide[256];
  for (int i = 0; i < 256; ++i) wide[i] = table[i];
  const __m256i weights = _mm256_setr_epi16(76, 150, 29, 0, 76, 150, 29, 0, 76, 150, 29, 0, 76, 150, 29, 0);
  const __m256i one = _mm256_set1_epi32(1), zero = _mm256_setzero_si256();
  const __m256i firstBytes = _mm256_setr_epi32(0, 4, 0, 0, 0, 0, 0, 0);
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* p = tile + static_cast<intptr_t>(y) * rowBytes;
    uint8_t* out = matte + static_cast<intptr_t>(y) * matteRowBytes;
    int32_t x = 0;
    for (; x + 8 <= w; x += 8) {
      const __m256i px = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 4 * x));
      const __m256i lo = _mm256_madd_epi16(_mm256_unpacklo_epi8(px, zero), weights);
      const __m256i hi = _mm256_madd_epi16(_mm256_unpackhi_epi8(px, zero), weights);
      const __m256i sum = _mm256_hadd_epi32(lo, hi);  // pixels in order within each half
      const __m256i q =
          _mm256_srli_epi32(_mm256_add_epi32(_mm256_add_epi32(sum, one), _mm256_srli_epi32(sum, 8)), 8);
      const __m256i v = _mm256_i32gather_epi32(wide, q, 4);
      const __m256i bytes = _mm256_packus_epi16(_mm256_packus_epi32(v, v), zero);  // each half: its 4 first
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x),
                       _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(bytes, firstBytes)));
    }
    for (; x < w; ++x)
      out[x] = table[div255Small(
          static_cast<uint16_t>(76u * p[4 * x] + 150u * p[4 * x + 1] + 29u * p[4 * x + 2]))];
  }
}
#endif

#if defined(__x86_64__)
#define VEYRA_TARGET_AVX512VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))

// Sixteen pixels' div255Small(76 r + 150 g + 29 b) as bytes; only the bytes of
// `load` are read. 76 r + 150 g = 2 (38 r + 75 g): one multiply-add of the
// bytes gives 38 r + 75 g and 29 b as 16-bit lanes (neither can saturate),
// and a second one 2 (38 r + 75 g) + 29 b per pixel.
VEYRA_TARGET_AVX512VBMI inline __m128i luminanceOfSixteen(const uint8_t* p, __mmask64 load) {
  const __m512i weights = _mm512_set1_epi32(0x001D4B26);  // bytes 38, 75, 29, 0
  const __m512i pairs = _mm512_set1_epi32(0x00010002);    // words 2, 1
  const __m512i px = _mm512_maskz_loadu_epi8(load, p);
  const __m512i sum = _mm512_madd_epi16(_mm512_maddubs_epi16(px, weights), pairs);
  // The zero-masked shifts: the plain ones start from an undefined register,
  // which GCC 12 warns of.
  const __m512i q = _mm512_maskz_srli_epi32(
      0xFFFF,
      _mm512_add_epi32(_mm512_add_epi32(sum, _mm512_set1_epi32(1)), _mm512_maskz_srli_epi32(0xFFFF, sum, 8)),
      8);
  return _mm512_mask_cvtepi32_epi8(_mm_setzero_si128(), 0xFFFF, q);
}

// The bytes to load of quarter k (pixels 16 k .. 16 k + 15) of a step of n
// pixels.
inline __mmask64 quarterMask(int32_t n, int k) {
  const int32_t r = std::clamp<int32_t>(n - 16 * k, 0, 16);
  return r == 16 ? ~__mmask64{0} : (__mmask64{1} << (4 * r)) - 1;
}

// extractRgbLuminance with AVX-512, 64 pixels per step: the values as above,
// then the table as four 64-byte parts, looked up with two 128-entry byte
// permutes and a choice by each value's top bit. The last step of a row
// loads and stores only the pixels in the row.
VEYRA_TARGET_AVX512VBMI void extractRgbLuminanceAvx512(const uint8_t* tile, int32_t rowBytes, int32_t w,
                                                       int32_t h, const uint8_t* table, uint8_t* matte,
                                                       int32_t matteRowBytes) {
  const __m512i t0 = _mm512_loadu_si512(table), t1 = _mm512_loadu_si512(table + 64);
  const __m512i t2 = _mm512_loadu_si512(table + 128), t3 = _mm512_loadu_si512(table + 192);
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* p = tile + static_cast<intptr_t>(y) * rowBytes;
    uint8_t* out = matte + static_cast<intptr_t>(y) * matteRowBytes;
    for (int32_t x = 0; x < w; x += 64) {
      const int32_t n = std::min<int32_t>(64, w - x);
      const uint8_t* q = p + 4 * x;
      __m512i v = _mm512_zextsi128_si512(luminanceOfSixteen(q, quarterMask(n, 0)));
      v = _mm512_inserti32x4(v, luminanceOfSixteen(q + 64, quarterMask(n, 1)), 1);
      v = _mm512_inserti32x4(v, luminanceOfSixteen(q + 128, quarterMask(n, 2)), 2);
      v = _mm512_inserti32x4(v, luminanceOfSixteen(q + 192, quarterMask(n, 3)), 3);
      const __m512i low = _mm512_permutex2var_epi8(t0, v, t1);   // entries 0..127
      const __m512i high = _mm512_permutex2var_epi8(t2, v, t3);  // entries 128..255
      const __m512i bytes = _mm512_mask_blend_epi8(_mm512_movepi8_mask(v), low, high);
      _mm512_mask_storeu_epi8(out + x, n == 64 ? ~__mmask64{0} : (__mmask64{1} << n) - 1, bytes);
    }
  }
}
#undef VEYRA_TARGET_AVX512VBMI
#endif

// Runs value(p, i) (pixel i of the four-byte pixels from p) for a pass of
// pixels into v, then the table, row by row. Full passes have a constant
// count, so value() is vectorised when it has no branches.
template <typename ValueOf>
void extractInPasses(const uint8_t* tile, int32_t rowBytes, int32_t w, int32_t h, const uint8_t* table,
                     uint8_t* matte, int32_t matteRowBytes, ValueOf value) {
  uint8_t v[kPass];
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* p = tile + static_cast<intptr_t>(y) * rowBytes;
    uint8_t* out = matte + static_cast<intptr_t>(y) * matteRowBytes;
    for (int32_t x = 0; x < w; x += kPass, p += 4 * kPass, out += kPass) {
      const int n = static_cast<int>(std::min<int32_t>(kPass, w - x));
      if (n == kPass) {
        for (int i = 0; i < kPass; ++i) v[i] = value(p, i);
      } else {
        for (int i = 0; i < n; ++i) v[i] = value(p, i);
      }
      for (int i = 0; i < n; ++i) out[i] = table[v[i]];
    }
  }
}

// indexByte() as selects: v limited to 0..255 (0 for NaN), then truncated.
inline uint8_t limitedIndex(float v) {
  const float t = v > 0.0f ? v : 0.0f;
  return static_cast<uint8_t>(static_cast<int32_t>(t < 255.0f ? t : 255.0f));
}

// rgbHueIndex() without branches: the same single-precision operations in
// the same order, all three sector formulas computed and the right one
// selected. The hue is undefined exactly when max = min (the saturation
// (max - min) / max is then 0, and only then: max - min is at least 1/255).
inline uint8_t hueIndexOf(const uint8_t* p, int i) {
  const float r = p[4 * i] * kByteScale, g = p[4 * i + 1] * kByteScale, b = p[4 * i + 2] * kByteScale;
  float max = r, min = r;
  max = g > max ? g : max;
  max = b > max ? b : max;
  min = g < min ? g : min;
  min = b < min ? b : min;
  const float d = max - min;
  const float fromRed = (g - b) / d, fromGreen = 2.0f + (b - r) / d, fromBlue = 4.0f + (r - g) / d;
  float hue = (r == max ? fromRed : g == max ? fromGreen : fromBlue) * 60.0f;
  hue = hue < 0.0f ? hue + 360.0f : hue;
  const uint8_t index = limitedIndex(hue * kHueToIndex);
  return d == 0.0f ? 0 : index;
}

// rgbSaturationIndex() without branches: scaling by 1/255 keeps the order of
// the bytes, so the largest and smallest scaled values are those of the
// largest and smallest byte.
inline uint8_t saturationIndexOf(const uint8_t* p, int i) {
  const uint8_t mx = std::max({p[4 * i], p[4 * i + 1], p[4 * i + 2]});
  const uint8_t mn = std::min({p[4 * i], p[4 * i + 1], p[4 * i + 2]});
  const float max = mx * kByteScale, min = mn * kByteScale;
  const uint8_t index = limitedIndex((max - min) / max * 255.0f);
  return mx == 0 ? 0 : index;
}

// cmykLuminance() without branches, in the same double-precision steps.
inline uint8_t cmykLuminanceOf(const uint8_t* p, int i) {
  const double kk = p[4 * i + 3] / 255.0;
  const double a =
      0.299 * (p[4 * i] / 255.0) + 0.587 * (p[4 * i + 1] / 255.0) + 0.114 * (p[4 * i + 2] / 255.0);
  const double v = (1.0 - (kk * (1.0 - a) + (1.0 - kk))) * 255.0;
  const double t = v > 0.0 ? v : 0.0;
  return static_cast<uint8_t>(static_cast<int32_t>(t < 255.0 ? t : 255.0));
}

void extractRgb(const uint8_t* tile, int32_t rowBytes, int32_t w, int32_t h, int32_t channel,
                const uint8_t* table, uint8_t* matte, int32_t matteRowBytes) {
  auto run = [&](auto value) { extractRows(tile, rowBytes, w, h, table, matte, matteRowBytes, value); };
  switch (channel) {
    case kChannelLuminance:
#if defined(__x86_64__)
      if (fx::detail::cpuHasAvx512Vbmi()) {
        extractRgbLuminanceAvx512(tile, rowBytes, w, h, table, matte, matteRowBytes);
        break;
      }
#endif
#if defined(__x86_64__) || defined(__i386__)
      if (fx::detail::cpuHasAvx2()) {
        extractRgbLuminanceAvx2(tile, rowBytes, w, h, table, matte, matteRowBytes);
        break;
      }
#endif
      extractRgbLuminance(tile, rowBytes, w, h, table, matte, matteRowBytes);
      break;
    case kChannelRed:
      run([](const uint8_t* p) { return p[0]; });
      break;
    case kChannelGreen:
      run([](const uint8_t* p) { return p[1]; });
      break;
    case kChannelBlue:
      run([](const uint8_t* p) { return p[2]; });
      break;
    case kChannelCyan:
      run([](const uint8_t* p) { return (p[1] + p[2]) >> 1; });
      break;
    case kChannelMagenta:
      run([](const uint8_t* p) { return (p[0] + p[2]) >> 1; });
      break;
    case kChannelYellow:
      run([](const uint8_t* p) { return (p[0] + p[1]) >> 1; });
      break;
    case kChannelHue:
      extractInPasses(tile, rowBytes, w, h, table, matte, matteRowBytes, hueIndexOf);
      break;
    case kChannelSaturation:
      extractInPasses(tile, rowBytes, w, h, table, matte, matteRowBytes, saturationIndexOf);
      break;
    default:
      break;
  }
}

void extractCmyk(const uint8_t* tile, int32_t rowBytes, int32_t w, int32_t h, int32_t channel,
                 const uint8_t* table, uint8_t* matte, int32_t matteRowBytes) {
  auto run = [&](auto value) { extractRows(tile, rowBytes, w, h, table, matte, matteRowBytes, value); };
  switch (channel) {
    case kChannelLuminance:
      extractInPasses(tile, rowBytes, w, h, table, matte, matteRowBytes, cmykLuminanceOf);
      break;
    case kChannelRed:
      run([](const uint8_t* p) { return (p[1] + p[2]) >> 1; });
      break;
    case kChannelGreen:
      run([](const uint8_t* p) { return (p[0] + p[2]) >> 1; });
      break;
    case kChannelBlue:
      run([](const uint8_t* p) { return (p[0] + p[1]) >> 1; });
      break;
    case kChannelCyan:
      run([](const uint8_t* p) { return p[0]; });
      break;
    case kChannelMagenta:
      run([](const uint8_t* p) { return p[1]; });
      break;
    case kChannelYellow:
      run([](const uint8_t* p) { return p[2]; });
      break;
    case kChannelHue:
    case kChannelSaturation:
      for (int32_t y = 0; y < h; ++y)
        std::memset(matte + static_cast<intptr_t>(y) * matteRowBytes, table[0], static_cast<size_t>(w));
      break;
    default:
      break;
  }
}

}  // namespace

void extractMatte(const uint8_t* tile, int32_t tileRowBytes, int16_t imageMode, int32_t width, int32_t height,
                  int32_t channel, const uint8_t table[256], uint8_t* matte, int32_t matteRowBytes) {
  if (width <= 0 || height <= 0) return;
  switch (imageMode) {
    case plugInModeGrayScale:
      for (int32_t y = 0; y < height; ++y) {
        const uint8_t* p = tile + static_cast<intptr_t>(y) * tileRowBytes;
        uint8_t* out = matte + static_cast<intptr_t>(y) * matteRowBytes;
        for (int32_t x = 0; x < width; ++x) out[x] = table[p[x]];
      }
      break;
    case plugInModeRGBColor:
      extractRgb(tile, tileRowBytes, width, height, channel, table, matte, matteRowBytes);
      break;
    case plugInModeCMYKColor:
      extractCmyk(tile, tileRowBytes, width, height, channel, table, matte, matteRowBytes);
      break;
    default:
      break;
  }
}

}  // namespace veyra
