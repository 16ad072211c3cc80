#pragma once

// Small value types for the four-channel blur kernels: one lane per channel.

#include <cstdint>

namespace fx {

// A pixel of four 8-bit samples.
struct Pixel4x8 {
  uint8_t v[4] = {0, 0, 0, 0};
  Pixel4x8() = default;
  Pixel4x8(uint8_t c0, uint8_t c1, uint8_t c2, uint8_t c3) : v{c0, c1, c2, c3} {}
};

// A pixel of four 16-bit samples.
struct Pixel4x16 {
  uint16_t v[4] = {0, 0, 0, 0};
  Pixel4x16() = default;
  Pixel4x16(uint16_t c0, uint16_t c1, uint16_t c2, uint16_t c3) : v{c0, c1, c2, c3} {}
};

// Four unsigned lanes of type T, one per channel; every operation works lane by lane with the
// usual unsigned wrap-around. Lanes are declared channel 3 first, then channels 0, 1, 2.
template <class T, class Sample>
struct Lanes4 {
  T c3 = 0, c0 = 0, c1 = 0, c2 = 0;

  Lanes4() = default;
  Lanes4(T v0, T v1, T v2, T v3) : c3(v3), c0(v0), c1(v1), c2(v2) {}

  // Loads the four samples of a pixel (channel k from p[k]).
  static Lanes4 load(const Sample* p) { return Lanes4(p[0], p[1], p[2], p[3]); }
  // Stores each lane truncated to the sample type.
  void store(Sample* p) const {
    p[0] = static_cast<Sample>(c0);
    p[1] = static_cast<Sample>(c1);
    p[2] = static_cast<Sample>(c2);
    p[3] = static_cast<Sample>(c3);
  }

  Lanes4 operator+(const Lanes4& o) const { return Lanes4(c0 + o.c0, c1 + o.c1, c2 + o.c2, c3 + o.c3); }
  Lanes4 operator-(const Lanes4& o) const { return Lanes4(c0 - o.c0, c1 - o.c1, c2 - o.c2, c3 - o.c3); }
  Lanes4 operator+(T s) const { return Lanes4(c0 + s, c1 + s, c2 + s, c3 + s); }
  Lanes4 operator*(T s) const { return Lanes4(c0 * s, c1 * s, c2 * s, c3 * s); }
  Lanes4 operator/(T s) const { return Lanes4(c0 / s, c1 / s, c2 / s, c3 / s); }
  Lanes4 operator>>(int s) const { return Lanes4(c0 >> s, c1 >> s, c2 >> s, c3 >> s); }
  Lanes4& operator+=(const Lanes4& o) { return *this = *this + o; }
  Lanes4& operator-=(const Lanes4& o) { return *this = *this - o; }
};

// Four 32-bit lanes for 8-bit pixels.
using Lanes4x32 = Lanes4<uint32_t, uint8_t>;
// Four 64-bit lanes for 16-bit pixels.
using Lanes4x64 = Lanes4<uint64_t, uint16_t>;

}  // namespace fx
