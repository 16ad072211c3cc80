#include "render/LightBlend.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "fx/Simd.h"
#include "host/LightParameters.h"
#include "host/PITypes.h"

namespace veyra {

double lightBrightnessFactor(double brightnessPercent) {
  const double b = brightnessPercent * 0.01;
  if (!(b > 0.0)) return 0.0;  // negative or NaN
  // 257 x 255 = 65535: the largest factor whose strengths fit 16 bits.
  return b > 257.0 ? 257.0 : b;
}

namespace {

// Bytes per vector pass: a multiple of every pixel size (1 and 4), so a
// per-byte pattern of weights repeats unchanged from pass to pass.
constexpr int kChunk = 64;

// Bytes per pixel and leading bytes changed; stride 0 for the image modes the
// blends leave alone.
struct Layout {
  int stride = 0;
  int channels = 0;
};

Layout layoutOf(int16_t imageMode) {
  switch (imageMode) {
    case plugInModeGrayScale:
      return {1, 1};
    case plugInModeRGBColor:
      return {4, 3};
    case plugInModeCMYKColor:
      return {4, 4};
    default:
      return {};
  }
}

// The three light operators on one channel p. small() combines p with
// `amount` (a colour byte or light image byte) at a strength `weight` of at
// most 255, where every product of two bytes fits 16 bits (the vector
// loops); withAmount() takes the weighted amount, limited to 255, already
// computed. Screen at greater strengths is screen() or screenPass().
struct AddOp {
  FX_ALWAYS_INLINE static uint8_t withAmount(uint16_t p, uint16_t d) {
    const auto v = static_cast<uint16_t>(p + d);
    return static_cast<uint8_t>(v > 255 ? 255 : v);
  }
  FX_ALWAYS_INLINE static uint8_t small(uint16_t p, uint16_t amount, uint16_t weight) {
    return withAmount(p, div255Small(static_cast<uint16_t>(amount * weight)));
  }
};
struct SubtractOp {
  FX_ALWAYS_INLINE static uint8_t withAmount(uint16_t p, uint16_t d) {
    return static_cast<uint8_t>(p > d ? p - d : 0);
  }
  FX_ALWAYS_INLINE static uint8_t small(uint16_t p, uint16_t amount, uint16_t weight) {
    return withAmount(p, div255Small(static_cast<uint16_t>(amount * weight)));
  }
};
struct ScreenOp {
  // screen() below 256: no full screens, one partial screen with
  // w = div255(amount x weight); a zero weight gives w = 0 and leaves p.
  FX_ALWAYS_INLINE static uint8_t small(uint16_t p, uint16_t amount, uint16_t weight) {
    const uint16_t w = div255Small(static_cast<uint16_t>(amount * weight));
    const auto r = static_cast<uint16_t>(p + w - div255Small(static_cast<uint16_t>(p * w)));
    return static_cast<uint8_t>(r > 255 ? 255 : r);
  }
};

// p[j] = Op::small(p[j], in[j], w[j]) for j < n <= kChunk; the full pass has
// a constant count so that it vectorises.
template <typename Op>
FX_ALWAYS_INLINE void smallChunk(uint8_t* p, const uint8_t* in, const uint16_t* w, int n) {
  if (n == kChunk) {
    for (int j = 0; j < kChunk; ++j) p[j] = Op::small(p[j], in[j], w[j]);
  } else {
    for (int j = 0; j < n; ++j) p[j] = Op::small(p[j], in[j], w[j]);
  }
}

// The per-byte strengths of a pass: value[k] for the changed channels, 0 for
// the rest (RGB byte 3), which every operator leaves as it is.
void weightPattern(const Layout& layout, const uint32_t value[4], uint16_t w[kChunk]) {
  for (int j = 0; j < kChunk; ++j) {
    const int k = j % layout.stride;
    w[j] = k < layout.channels ? static_cast<uint16_t>(value[k]) : 0;
  }
}

// Image source with every strength C[k] <= 255: the rows as runs of bytes.
// Compiled for the baseline and for AVX2 (twice the 16-bit lanes), the same
// arithmetic in both.
template <typename Op>
FX_ALWAYS_INLINE void imageRowsSmallBody(const uint16_t w[kChunk], uint8_t* tile, int32_t tileRowBytes,
                                         const uint8_t* image, int32_t imageRowBytes, int32_t rowLength,
                                         int32_t height) {
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* p = tile + static_cast<intptr_t>(y) * tileRowBytes;
    const uint8_t* i = image + static_cast<intptr_t>(y) * imageRowBytes;
    for (int32_t j = 0; j < rowLength; j += kChunk)
      smallChunk<Op>(p + j, i + j, w, std::min(kChunk, rowLength - j));
  }
}
template <typename Op>
void imageRowsSmallGeneric(const uint16_t w[kChunk], uint8_t* tile, int32_t tileRowBytes,
                           const uint8_t* image, int32_t imageRowBytes, int32_t rowLength, int32_t height) {
  imageRowsSmallBody<Op>(w, tile, tileRowBytes, image, imageRowBytes, rowLength, height);
}
template <typename Op>
FX_TARGET_AVX2 void imageRowsSmallAvx2(const uint16_t w[kChunk], uint8_t* tile, int32_t tileRowBytes,
                                       const uint8_t* image, int32_t imageRowBytes, int32_t rowLength,
                                       int32_t height) {
  imageRowsSmallBody<Op>(w, tile, tileRowBytes, image, imageRowBytes, rowLength, height);
}
template <typename Op>
void imageRowsSmall(const uint16_t w[kChunk], uint8_t* tile, int32_t tileRowBytes, const uint8_t* image,
                    int32_t imageRowBytes, int32_t rowLength, int32_t height) {
  if (fx::detail::cpuHasAvx2())
    imageRowsSmallAvx2<Op>(w, tile, tileRowBytes, image, imageRowBytes, rowLength, height);
  else
    imageRowsSmallGeneric<Op>(w, tile, tileRowBytes, image, imageRowBytes, rowLength, height);
}

// Add and Subtract at any strength w: the weighted amount div255(in x w)
// reaches 255 (where both operators saturate) exactly when in x w >= 255 x
// 255, that is when in >= limit = ceil(65025 / w); below that the product
// fits 16 bits. A zero strength has limit 256, which no byte reaches.
template <typename Op>
inline uint8_t wide(uint16_t p, uint16_t in, uint16_t w, uint16_t limit) {
  const uint16_t d = in >= limit ? 255 : div255Small(static_cast<uint16_t>(in * w));
  return Op::withAmount(p, d);
}

uint16_t saturationLimit(uint16_t w) { return static_cast<uint16_t>(w == 0 ? 256 : (65025u + w - 1) / w); }

// Image-source Add or Subtract with some strength above 255.
template <typename Op>
void imageRowsWide(const uint16_t w[kChunk], uint8_t* tile, int32_t tileRowBytes, const uint8_t* image,
                   int32_t imageRowBytes, int32_t rowLength, int32_t height) {
  uint16_t limit[kChunk];
  for (int j = 0; j < kChunk; ++j) limit[j] = saturationLimit(w[j]);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* p = tile + static_cast<intptr_t>(y) * tileRowBytes;
    const uint8_t* in = image + static_cast<intptr_t>(y) * imageRowBytes;
    for (int32_t j = 0; j < rowLength; j += kChunk, p += kChunk, in += kChunk) {
      if (rowLength - j >= kChunk) {
        for (int k = 0; k < kChunk; ++k) p[k] = wide<Op>(p[k], in[k], w[k], limit[k]);
      } else {
        for (int k = 0; k < rowLength - j; ++k) p[k] = wide<Op>(p[k], in[k], w[k], limit[k]);
      }
    }
  }
}

// Matte-source Add or Subtract with A above 255: each pass spreads the
// weighted amounts of its pixels' light values, from per-channel tables (all
// 0 for unchanged bytes), over their bytes, then adds or subtracts them.
template <typename Op, int kStride>
void matteRowsWide(const uint8_t table[4][256], uint8_t* tile, int32_t tileRowBytes, const uint8_t* light,
                   int32_t lightRowBytes, int32_t width, int32_t height) {
  constexpr int kPixels = kChunk / kStride;
  uint8_t d[kChunk];
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* p = tile + static_cast<intptr_t>(y) * tileRowBytes;
    const uint8_t* l = light + static_cast<intptr_t>(y) * lightRowBytes;
    for (int32_t x = 0; x < width; x += kPixels, p += kChunk) {
      const int n = static_cast<int>(std::min<int32_t>(kPixels, width - x));
      for (int i = 0; i < n; ++i)
        for (int k = 0; k < kStride; ++k) d[i * kStride + k] = table[k][l[x + i]];
      if (n == kPixels) {
        for (int j = 0; j < kChunk; ++j) p[j] = Op::withAmount(p[j], d[j]);
      } else {
        for (int j = 0; j < n * kStride; ++j) p[j] = Op::withAmount(p[j], d[j]);
      }
    }
  }
}

// One full pass of screen(p[j], amount[j], strength[j]) for every byte j of
// a pass, with at most `screens` whole screens in any byte: every byte runs
// the rounds and keeps a round's result only while it still owes a whole
// screen. Running on past a fixed point changes nothing, so this is screen()
// exactly, and the rounds stop at the first that changes no byte: each byte
// is then at a fixed point or owes nothing, and stays so.
inline void screenPass(uint8_t* p, const uint16_t amount[kChunk], const uint16_t strength[kChunk],
                       uint32_t screens) {
  uint16_t r[kChunk], owed[kChunk];
  for (int j = 0; j < kChunk; ++j) {
    r[j] = p[j];
    owed[j] = static_cast<uint16_t>(strength[j] >> 8);
  }
  for (uint16_t i = 0; i < screens; ++i) {
    uint16_t changed = 0;
    for (int j = 0; j < kChunk; ++j) {
      const auto next =
          static_cast<uint16_t>(amount[j] + r[j] - div255Small(static_cast<uint16_t>(amount[j] * r[j])));
      const uint16_t clamped = next > 255 ? 255 : next;
      const uint16_t kept = i < owed[j] ? clamped : r[j];
      changed |= static_cast<uint16_t>(kept ^ r[j]);
      r[j] = kept;
    }
    if (changed == 0) break;
  }
  for (int j = 0; j < kChunk; ++j) {
    const uint16_t w = div255Small(static_cast<uint16_t>(amount[j] * (strength[j] & 255u)));
    const auto v = static_cast<uint16_t>(r[j] + w - div255Small(static_cast<uint16_t>(r[j] * w)));
    p[j] = static_cast<uint8_t>(v > 255 ? 255 : v);
  }
}

// Image-source Screen with strengths above 255; the bytes after the last
// full pass by screen() itself.
void imageRowsScreen(const uint16_t w[kChunk], uint32_t screens, uint8_t* tile, int32_t tileRowBytes,
                     const uint8_t* image, int32_t imageRowBytes, int32_t rowLength, int32_t height) {
  uint16_t amount[kChunk];
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* p = tile + static_cast<intptr_t>(y) * tileRowBytes;
    const uint8_t* in = image + static_cast<intptr_t>(y) * imageRowBytes;
    int32_t j = 0;
    for (; rowLength - j >= kChunk; j += kChunk) {
      for (int k = 0; k < kChunk; ++k) amount[k] = in[j + k];
      screenPass(p + j, amount, w, screens);
    }
    for (int k = 0; j + k < rowLength; ++k) p[j + k] = screen(p[j + k], in[j + k], w[k]);
  }
}

// Matte-source Screen with A above 255: each pass spreads T over the bytes of its pixels, the colour
// pattern (0 for unchanged bytes) is the amount.
template <int kStride>
void matteRowsScreen(const uint16_t strengthOf[256], const uint16_t colour[kChunk], uint32_t screens,
                     uint8_t* tile, int32_t tileRowBytes, const uint8_t* light, int32_t lightRowBytes,
                     int32_t width, int32_t height) {
  constexpr int kPixels = kChunk / kStride;
  uint16_t t[kChunk];
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* p = tile + static_cast<intptr_t>(y) * tileRowBytes;
    const uint8_t* l = light + static_cast<intptr_t>(y) * lightRowBytes;
    int32_t x = 0;
    for (; width - x >= kPixels; x += kPixels, p += kChunk) {
      for (int i = 0; i < kPixels; ++i)
        for (int k = 0; k < kStride; ++k) t[i * kStride + k] = strengthOf[l[x + i]];
      screenPass(p, colour, t, screens);
    }
    for (; x < width; ++x, p += kStride)
      for (int k = 0; k < kStride; ++k) p[k] = screen(p[k], colour[k], strengthOf[l[x]]);
  }
}

// Matte source with A <= 255, so T = div255(A x L) <= 255: each pass spreads
// T over the bytes of its pixels and runs the byte loop with the colour as
// strength (every operator is symmetric in amount and strength below 256).
template <typename Op, int kStride>
void matteRowsSmall(uint32_t a, const uint16_t w[kChunk], uint8_t* tile, int32_t tileRowBytes,
                    const uint8_t* light, int32_t lightRowBytes, int32_t width, int32_t height) {
  constexpr int kPixels = kChunk / kStride;
  uint8_t t[kChunk];
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* p = tile + static_cast<intptr_t>(y) * tileRowBytes;
    const uint8_t* l = light + static_cast<intptr_t>(y) * lightRowBytes;
    for (int32_t x = 0; x < width; x += kPixels) {
      const int n = static_cast<int>(std::min<int32_t>(kPixels, width - x));
      for (int i = 0; i < n; ++i) {
        const auto v = static_cast<uint8_t>(div255Small(static_cast<uint16_t>(a * l[x + i])));
        for (int k = 0; k < kStride; ++k) t[i * kStride + k] = v;
      }
      smallChunk<Op>(p + static_cast<intptr_t>(x) * kStride, t, w, n * kStride);
    }
  }
}

// Calls body(Op{}) for the blend mode; returns without calling it for any
// other mode.
template <typename Body>
void withOp(int32_t mode, Body body) {
  switch (mode) {
    case kLightAdd:
      body(AddOp{});
      break;
    case kLightSubtract:
      body(SubtractOp{});
      break;
    case kLightScreen:
      body(ScreenOp{});
      break;
    default:
      break;
  }
}

}  // namespace

void lightBlendMatte(int32_t mode, double brightnessPercent, const uint8_t col[4], int16_t imageMode,
                     uint8_t* tile, int32_t tileRowBytes, const uint8_t* light, int32_t lightRowBytes,
                     int32_t width, int32_t height) {
  const Layout layout = layoutOf(imageMode);
  if (width <= 0 || height <= 0 || layout.stride == 0) return;
  const uint32_t a = static_cast<uint32_t>(lightBrightnessFactor(brightnessPercent) * 255.0);  // 0..65535
  const uint32_t colour[4] = {col[0], col[1], col[2], col[3]};
  withOp(mode, [&](auto op) {
    using Op = decltype(op);
    if (a <= 255) {
      uint16_t w[kChunk];
      weightPattern(layout, colour, w);
      if (layout.stride == 1)
        matteRowsSmall<Op, 1>(a, w, tile, tileRowBytes, light, lightRowBytes, width, height);
      else
        matteRowsSmall<Op, 4>(a, w, tile, tileRowBytes, light, lightRowBytes, width, height);
      return;
    }
    uint16_t strength[256];
    for (uint32_t v = 0; v < 256; ++v) strength[v] = static_cast<uint16_t>(div255(a * v));
    if constexpr (std::is_same_v<Op, ScreenOp>) {
      const uint32_t screens = strength[255] >> 8;
      uint16_t w[kChunk];
      weightPattern(layout, colour, w);
      if (layout.stride == 1)
        matteRowsScreen<1>(strength, w, screens, tile, tileRowBytes, light, lightRowBytes, width, height);
      else
        matteRowsScreen<4>(strength, w, screens, tile, tileRowBytes, light, lightRowBytes, width, height);
    } else {
      uint8_t table[4][256] = {};
      for (int k = 0; k < layout.channels; ++k)
        for (int v = 0; v < 256; ++v)
          table[k][v] = static_cast<uint8_t>(std::min<uint32_t>(255, div255(colour[k] * strength[v])));
      if (layout.stride == 1)
        matteRowsWide<Op, 1>(table, tile, tileRowBytes, light, lightRowBytes, width, height);
      else
        matteRowsWide<Op, 4>(table, tile, tileRowBytes, light, lightRowBytes, width, height);
    }
  });
}

void lightBlendImage(int32_t mode, double brightnessPercent, const uint8_t col[4], int16_t imageMode,
                     uint8_t* tile, int32_t tileRowBytes, const uint8_t* lightImage,
                     int32_t lightImageRowBytes, int32_t width, int32_t height) {
  const Layout layout = layoutOf(imageMode);
  if (width <= 0 || height <= 0 || layout.stride == 0) return;
  const double b = lightBrightnessFactor(brightnessPercent);
  uint32_t c[4];
  for (int k = 0; k < 4; ++k) c[k] = static_cast<uint32_t>(b * col[k]);  // 0..65535
  const uint32_t strongest = *std::max_element(c, c + layout.channels);
  const bool small = strongest <= 255;
  uint16_t w[kChunk];
  weightPattern(layout, c, w);
  withOp(mode, [&](auto op) {
    using Op = decltype(op);
    const int32_t rowLength = width * layout.stride;
    if (small)
      imageRowsSmall<Op>(w, tile, tileRowBytes, lightImage, lightImageRowBytes, rowLength, height);
    else if constexpr (std::is_same_v<Op, ScreenOp>)
      imageRowsScreen(w, strongest >> 8, tile, tileRowBytes, lightImage, lightImageRowBytes, rowLength,
                      height);
    else
      imageRowsWide<Op>(w, tile, tileRowBytes, lightImage, lightImageRowBytes, rowLength, height);
  });
}

namespace {

// multiplyByLightMap for four-byte pixels, the baseline copy (the AVX2 copy
// below has the same arithmetic).
void multiplyFourGeneric(const Layout& layout, const uint8_t* tile, int32_t tileRowBytes,
                         const uint8_t* light, int32_t lightRowBytes, int32_t width, int32_t height,
                         uint8_t* lightImage, int32_t lightImageRowBytes) {
  // Four-byte pixels: each pass spreads the light values over the bytes of
  // their pixels, with 0 for an unchanged byte so that it comes out 0.
  constexpr int kPixels = kChunk / 4;
  uint8_t mask[4];
  for (int k = 0; k < 4; ++k) mask[k] = k < layout.channels ? 0xFF : 0;
#if defined(__SSE2__)
  uint8_t mask4[16];
  for (int k = 0; k < 16; ++k) mask4[k] = mask[k % 4];
#endif
  uint8_t spread[kChunk];
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* p = tile + static_cast<intptr_t>(y) * tileRowBytes;
    const uint8_t* l = light + static_cast<intptr_t>(y) * lightRowBytes;
    uint8_t* out = lightImage + static_cast<intptr_t>(y) * lightImageRowBytes;
    for (int32_t x = 0; x < width; x += kPixels, p += kChunk, out += kChunk) {
      const int n = static_cast<int>(std::min<int32_t>(kPixels, width - x));
#if defined(__SSE2__)
      if (n == kPixels) {
        // Each light byte four times over (two unpackings), masked.
        static_assert(kPixels == 16, "one 16-byte load of light values per pass");
        const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask4));
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(l + x));
        const __m128i lo = _mm_unpacklo_epi8(v, v), hi = _mm_unpackhi_epi8(v, v);
        __m128i* s = reinterpret_cast<__m128i*>(spread);
        _mm_storeu_si128(s, _mm_and_si128(_mm_unpacklo_epi16(lo, lo), m));
        _mm_storeu_si128(s + 1, _mm_and_si128(_mm_unpackhi_epi16(lo, lo), m));
        _mm_storeu_si128(s + 2, _mm_and_si128(_mm_unpacklo_epi16(hi, hi), m));
        _mm_storeu_si128(s + 3, _mm_and_si128(_mm_unpackhi_epi16(hi, hi), m));
      } else
#endif
        for (int i = 0; i < n; ++i)
          for (int k = 0; k < 4; ++k) spread[i * 4 + k] = l[x + i] & mask[k];
      if (n == kPixels) {
        for (int j = 0; j < kChunk; ++j)
          out[j] = static_cast<uint8_t>(div255Small(static_cast<uint16_t>(p[j] * spread[j])));
      } else {
        for (int j = 0; j < n * 4; ++j)
          out[j] = static_cast<uint8_t>(div255Small(static_cast<uint16_t>(p[j] * spread[j])));
      }
    }
  }
}

// The products of four pixels (sixteen bytes at p, their light bytes at l,
// spread by `spread`), divided by 255, in 16-bit lanes.
FX_TARGET_AVX2 inline __m256i productsOfFour(const uint8_t* p, const uint8_t* l, __m256i spread) {
  int32_t four;
  std::memcpy(&four, l, 4);
  const __m256i lights = _mm256_shuffle_epi8(_mm256_set1_epi32(four), spread);
  const __m256i x =
      _mm256_mullo_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))), lights);
  return _mm256_srli_epi16(
      _mm256_add_epi16(_mm256_add_epi16(x, _mm256_set1_epi16(1)), _mm256_srli_epi16(x, 8)), 8);
}

// The same with AVX2 and the light values spread in registers: four pixels'
// light bytes, broadcast to both halves, are shuffled out to the 16-bit lanes
// of their channels (a zero for an unchanged byte), multiplied by the pixels'
// bytes and divided by 255 as div255Small does (x + 1 + (x >> 8) stays below
// 2^16 for x <= 255 x 255).
FX_TARGET_AVX2 void multiplyFourAvx2(const Layout& layout, const uint8_t* tile, int32_t tileRowBytes,
                                     const uint8_t* light, int32_t lightRowBytes, int32_t width,
                                     int32_t height, uint8_t* lightImage, int32_t lightImageRowBytes) {
  // Word k of pixel i takes light byte i (pixels 0 and 1 in the lower half,
  // 2 and 3 in the upper one); 0x80 gives a zero byte.
  alignas(32) int8_t control[32];
  for (int half = 0; half < 2; ++half)
    for (int i = 0; i < 2; ++i)
      for (int k = 0; k < 4; ++k) {
        int8_t* word = control + half * 16 + i * 8 + k * 2;
        word[0] = k < layout.channels ? static_cast<int8_t>(half * 2 + i) : int8_t(-128);
        word[1] = int8_t(-128);
      }
  const __m256i spread = _mm256_load_si256(reinterpret_cast<const __m256i*>(control));
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* p = tile + static_cast<intptr_t>(y) * tileRowBytes;
    const uint8_t* l = light + static_cast<intptr_t>(y) * lightRowBytes;
    uint8_t* out = lightImage + static_cast<intptr_t>(y) * lightImageRowBytes;
    int32_t x = 0;
    for (; x + 8 <= width; x += 8) {
      const __m256i packed = _mm256_packus_epi16(productsOfFour(p + 4 * x, l + x, spread),
                                                 productsOfFour(p + 4 * x + 16, l + x + 4, spread));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * x), _mm256_permute4x64_epi64(packed, 0xD8));
    }
    for (; x < width; ++x)
      for (int k = 0; k < 4; ++k)
        out[4 * x + k] = k < layout.channels
                             ? static_cast<uint8_t>(div255Small(static_cast<uint16_t>(p[4 * x + k] * l[x])))
                             : 0;
  }
}

}  // namespace

void multiplyByLightMap(int16_t imageMode, const uint8_t* tile, int32_t tileRowBytes, const uint8_t* light,
                        int32_t lightRowBytes, int32_t width, int32_t height, uint8_t* lightImage,
                        int32_t lightImageRowBytes) {
  const Layout layout = layoutOf(imageMode);
  if (width <= 0 || height <= 0 || layout.stride == 0) return;
  if (layout.stride == 1) {
    for (int32_t y = 0; y < height; ++y) {
      const uint8_t* p = tile + static_cast<intptr_t>(y) * tileRowBytes;
      const uint8_t* l = light + static_cast<intptr_t>(y) * lightRowBytes;
      uint8_t* out = lightImage + static_cast<intptr_t>(y) * lightImageRowBytes;
      for (int32_t x = 0; x < width; ++x)
        out[x] = static_cast<uint8_t>(div255Small(static_cast<uint16_t>(p[x] * l[x])));
    }
    return;
  }
  if (fx::detail::cpuHasAvx2())
    multiplyFourAvx2(layout, tile, tileRowBytes, light, lightRowBytes, width, height, lightImage,
                     lightImageRowBytes);
  else
    multiplyFourGeneric(layout, tile, tileRowBytes, light, lightRowBytes, width, height, lightImage,
                        lightImageRowBytes);
}

}  // namespace veyra
