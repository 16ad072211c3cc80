// The channel-port suite over the current host's document. Reads clip to the
// image; writes clip to the image and the filter rectangle (the selection),
// so a filter can never change pixels outside the area it was given.
// Scaled reads reduce (or enlarge) by area averaging, see AreaScale.h: the
// scaling's source rectangle (inside the image) maps onto its destination
// rectangle, whose top-left pixel is the destination memory's origin; the
// read rectangle, in document coordinates, picks the destination pixels
// written (those covering any of it, rounded outward), so reading the whole
// source rectangle writes the whole destination.
#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "app/AreaScale.h"
#include "app/FilterHost.h"

namespace veyra::app {

namespace {

constexpr int32 kParamErr = -50;

VRect intersect(const VRect& a, const VRect& b) {
  VRect r{std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom), std::min(a.right, b.right)};
  if (r.bottom < r.top) r.bottom = r.top;
  if (r.right < r.left) r.right = r.left;
  return r;
}

bool validMemory(const PixelMemoryDesc* m) {
  return m != nullptr && m->data != nullptr && m->depth == 8 && m->rowBits % 8 == 0 && m->colBits % 8 == 0 &&
         m->bitOffset % 8 == 0;
}

uint8_t* sampleAt(const PixelMemoryDesc* m, int64_t row, int64_t col) {
  return static_cast<uint8_t*>(m->data) + (row * m->rowBits + col * m->colBits + m->bitOffset) / 8;
}

// n samples from src, srcStep bytes apart, to dst, dstStep bytes apart. The
// planes of the document have a step of 1; interleaved buffers commonly 1, 3
// or 4 (a constant step lets the loop run without reloading anything).
template <int kSrcStep, int kDstStep>
void copyStepped(const uint8_t* src, uint8_t* dst, int32 n) {
  for (int32 i = 0; i < n; ++i)
    dst[static_cast<intptr_t>(i) * kDstStep] = src[static_cast<intptr_t>(i) * kSrcStep];
}

#if defined(__x86_64__)
// The 4-byte interleaved layouts 16 samples at a time with AVX-512 byte-masked
// stores and loads, which never touch the bytes between the samples (those
// belong to other channels) nor any byte past the last sample.
constexpr __mmask64 kEveryFourthByte = 0x1111111111111111ull;

#define VEYRA_TARGET_AVX512BW __attribute__((target("avx512f,avx512bw")))

VEYRA_TARGET_AVX512BW void scatterFourAvx512(const uint8_t* src, uint8_t* dst, int32 n) {
  int32 i = 0;
  for (; n - i >= 16; i += 16) {
    // The zero-masked and merge forms of the conversions: the plain ones start
    // from an undefined register, which GCC 12 warns of.
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m512i v = _mm512_maskz_cvtepu8_epi32(0xFFFF, bytes);
    _mm512_mask_storeu_epi8(dst + static_cast<intptr_t>(i) * 4, kEveryFourthByte, v);
  }
  for (; i < n; ++i) dst[static_cast<intptr_t>(i) * 4] = src[i];
}

VEYRA_TARGET_AVX512BW void gatherFourAvx512(const uint8_t* src, uint8_t* dst, int32 n) {
  int32 i = 0;
  for (; n - i >= 16; i += 16) {
    const __m512i v = _mm512_maskz_loadu_epi8(kEveryFourthByte, src + static_cast<intptr_t>(i) * 4);
    const __m128i bytes = _mm512_mask_cvtepi32_epi8(_mm_setzero_si128(), 0xFFFF, v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), bytes);
  }
  for (; i < n; ++i) dst[i] = src[static_cast<intptr_t>(i) * 4];
}

bool hasAvx512() {
  static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
  return has;
}
#undef VEYRA_TARGET_AVX512BW
#endif

void copySamples(const uint8_t* src, intptr_t srcStep, uint8_t* dst, intptr_t dstStep, int32 n) {
  if (n <= 0) return;
  if (srcStep == 1 && dstStep == 1) {
    std::memmove(dst, src, static_cast<size_t>(n));
  } else if (srcStep == 1 && dstStep == 4) {
#if defined(__x86_64__)
    if (hasAvx512()) return scatterFourAvx512(src, dst, n);
#endif
    copyStepped<1, 4>(src, dst, n);
  } else if (srcStep == 4 && dstStep == 1) {
#if defined(__x86_64__)
    if (hasAvx512()) return gatherFourAvx512(src, dst, n);
#endif
    copyStepped<4, 1>(src, dst, n);
  } else if (srcStep == 1 && dstStep == 3) {
    copyStepped<1, 3>(src, dst, n);
  } else if (srcStep == 3 && dstStep == 1) {
    copyStepped<3, 1>(src, dst, n);
  } else {
    for (int32 i = 0; i < n; ++i) dst[i * dstStep] = src[i * srcStep];
  }
}

// The host that owns the port, or null for a port that is none of the current host's.
FilterHost* hostOf(PIChannelPort port) {
  FilterHost* host = FilterHost::current();
  return host != nullptr && host->isPort(port) ? host : nullptr;
}

void note(FilterHost* host, PortAccess access, PIChannelPort port, const VRect* rect, const VRect& destination,
          int32 result) {
  if (host == nullptr) host = FilterHost::current();
  if (host == nullptr) return;
  const int channel = host->isPort(port) ? port->channel : -1;
  host->calls().portCalls.push_back(PortCall{access, channel, rect ? *rect : VRect{}, destination, result});
}

int32 countLevels(PIChannelPort port, int32* count) {
  if (hostOf(port) == nullptr || count == nullptr) return kParamErr;
  *count = 1;
  return noErr;
}

int32 readPixels(PIChannelPort port, int32 level, const VRect* rect, const PixelMemoryDesc* destination,
                 VRect* wroteRect) {
  FilterHost* host = hostOf(port);
  int32 result = noErr;
  if (host == nullptr || port->writable || level != 0 || rect == nullptr || !validMemory(destination)) {
    result = kParamErr;
  } else {
    const Document& doc = host->document();
    const VRect area = intersect(*rect, VRect{0, 0, doc.height(), doc.width()});
    const uint8_t* plane = host->targetChannel(port->channel);
    const intptr_t step = destination->colBits / 8;  // validMemory: whole bytes
    host->copyThreads().forRows(area.bottom - area.top, area.right - area.left, [&](int32 top, int32 bottom) {
      for (int32 y = area.top + top; y < area.top + bottom; ++y) {
        const uint8_t* line = plane + static_cast<size_t>(y) * doc.width();
        copySamples(line + area.left, 1, sampleAt(destination, y - rect->top, area.left - rect->left), step,
                    area.right - area.left);
      }
    });
    if (wroteRect != nullptr) *wroteRect = area;
  }
  note(host, PortAccess::Read, port, rect, VRect{}, result);
  return result;
}

int32 writePixels(PIChannelPort port, const VRect* rect, const PixelMemoryDesc* source) {
  FilterHost* host = hostOf(port);
  int32 result = noErr;
  if (host == nullptr || !port->writable || rect == nullptr || !validMemory(source)) {
    result = kParamErr;
  } else {
    Document& doc = host->document();
    const VRect area = intersect(intersect(*rect, VRect{0, 0, doc.height(), doc.width()}), host->filterRect());
    uint8_t* plane = host->targetChannel(port->channel);
    const intptr_t step = source->colBits / 8;  // validMemory: whole bytes
    host->copyThreads().forRows(area.bottom - area.top, area.right - area.left, [&](int32 top, int32 bottom) {
      for (int32 y = area.top + top; y < area.top + bottom; ++y) {
        uint8_t* line = plane + static_cast<size_t>(y) * doc.width();
        copySamples(sampleAt(source, y - rect->top, area.left - rect->left), step, line + area.left, 1,
                    area.right - area.left);
      }
    });
  }
  note(host, PortAccess::Write, port, rect, VRect{}, result);
  return result;
}

// Destination index range [*lo, *hi) covering source range [a, b) of an axis
// of source length s (offset s0) and destination length d.
void mapRange(int32 a, int32 b, int32 s0, int32 s, int32 d, int* lo, int* hi) {
  const int64_t from = std::max<int64_t>(a - s0, 0), to = std::min<int64_t>(b - s0, s);
  if (to <= from) {
    *lo = *hi = 0;
    return;
  }
  *lo = static_cast<int>(from * d / s);
  *hi = static_cast<int>((to * d + s - 1) / s);
}

int32 readScaled(PIChannelPort port, const VRect* readRect, const PSScaling* scaling,
                 const PixelMemoryDesc* destination) {
  FilterHost* host = hostOf(port);
  const VRect dstRect = scaling != nullptr ? scaling->destinationRect : VRect{};
  int32 result = noErr;
  if (host == nullptr || port->writable || scaling == nullptr || !validMemory(destination)) {
    result = kParamErr;
  } else {
    const Document& doc = host->document();
    const VRect& s = scaling->sourceRect;
    const VRect& d = scaling->destinationRect;
    const int32 sw = s.right - s.left, sh = s.bottom - s.top, dw = d.right - d.left, dh = d.bottom - d.top;
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0 || s.top < 0 || s.left < 0 || s.bottom > doc.height() ||
        s.right > doc.width()) {
      result = kParamErr;
    } else {
      const VRect r = readRect != nullptr ? *readRect : s;
      int row0, row1, col0, col1;
      mapRange(r.top, r.bottom, s.top, sh, dh, &row0, &row1);
      mapRange(r.left, r.right, s.left, sw, dw, &col0, &col1);
      const uint8_t* origin =
          host->targetChannel(port->channel) + static_cast<size_t>(s.top) * doc.width() + s.left;
      scaleByArea(origin, doc.width(), sw, sh, dw, dh, row0, row1, col0, col1,
                  [&](int row, int col, uint8_t v) { *sampleAt(destination, row, col) = v; });
    }
  }
  note(host, PortAccess::ReadScaled, port, readRect != nullptr ? readRect : (scaling ? &scaling->sourceRect : nullptr),
       dstRect, result);
  return result;
}

const PSChannelPortsSuite2 gChannelPorts = {countLevels, readPixels, writePixels, readScaled};

}  // namespace

const PSChannelPortsSuite2* channelPortsSuite() { return &gChannelPorts; }

}  // namespace veyra::app
