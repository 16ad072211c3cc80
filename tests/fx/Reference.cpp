#include "Reference.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace fxtest {

using u128 = unsigned __int128;

uint32_t sampleAt(const fx::PixelImage& img, int x, int y, int k) {
  const uint8_t* p = img.pixel(x, y) + k * img.bytesPerChannel;
  if (img.bytesPerChannel == 1) return *p;
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}

void setSample(fx::PixelImage& img, int x, int y, int k, uint32_t v) {
  uint8_t* p = img.pixel(x, y) + k * img.bytesPerChannel;
  if (img.bytesPerChannel == 1) {
    *p = static_cast<uint8_t>(v);
  } else {
    const uint16_t s = static_cast<uint16_t>(v);
    std::memcpy(p, &s, 2);
  }
}

TestImage::TestImage(int w, int h, int channels, int bpc, int padding, std::mt19937& rng,
                     uint32_t maxSample) {
  const int rowBytes = w * channels * bpc + padding * bpc;
  bytes.resize(size_t(std::max(rowBytes * h, 1)));
  for (auto& b : bytes) b = static_cast<uint8_t>(rng());
  img.init(w, h, channels, bpc, rowBytes, bytes.data());
  std::uniform_int_distribution<uint32_t> dist(0, maxSample);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int k = 0; k < channels; ++k) setSample(img, x, y, k, dist(rng));
}

TestImage::TestImage(const TestImage& other) : bytes(other.bytes) {
  img.init(other.img.width, other.img.height, other.img.channels, other.img.bytesPerChannel,
           other.img.rowBytes, bytes.data());
}

bool sameBytes(const TestImage& a, const TestImage& b) { return a.bytes == b.bytes; }

// --- box blur ------------------------------------------------------------------------------------

std::vector<uint32_t> referenceBlurLine(const std::vector<uint32_t>& in, float half, int bpc,
                                        bool fullPrecisionFraction) {
  const int64_t L = static_cast<int64_t>(in.size());
  if (!(half > 0.0f)) return in;
  const double c = std::ceil(static_cast<double>(half));
  const double excess = c - static_cast<double>(half);
  const double w = excess > 0 ? 1.0 - excess : 0.0;
  const int64_t limit = L / 2 - 1;
  const int64_t n = c < static_cast<double>(limit) ? static_cast<int64_t>(c) : limit;
  if (n < 1) return in;
  const uint64_t F = bpc == 1 ? 256 : 65536;
  const uint64_t maxSample = bpc == 1 ? 255 : 65535;
  const int shift = bpc == 1 ? 23 : 47;
  const double wf = fullPrecisionFraction ? w : static_cast<double>(static_cast<float>(w));
  const uint64_t d = static_cast<uint64_t>(wf * static_cast<double>(F));

  std::vector<uint32_t> out(in.size());
  for (int64_t p = 0; p < L; ++p) {
    u128 S = 0, D = 0;
    for (int64_t j = std::max<int64_t>(0, p - n); j <= std::min(L - 1, p + n); ++j) {
      const uint64_t weight = std::llabs(j - p) <= n - 1 ? F : d;
      S += u128(weight) * in[size_t(j)];
      D += weight;
    }
    u128 v;
    if (p >= n + 1 && p <= L - n - 1) {
      const u128 one = u128(1) << shift;
      const u128 R = one / D;
      const u128 e = one - R * D;
      v = e * maxSample < (one << 1) ? (S * R + maxSample * e) >> shift : S / D;
    } else {
      v = S / D;
    }
    out[size_t(p)] = static_cast<uint32_t>(v);
  }
  return out;
}

void referenceBlur(fx::PixelImage& img, const fx::Rect& r, float radiusX, float radiusY, int passes) {
  const float hx = radiusX * 0.5f, hy = radiusY * 0.5f;
  const bool full = img.channels == 1 && img.bytesPerChannel == 1;
  for (int pass = 0; pass < passes; ++pass)
    for (int y = r.top; y < r.bottom; ++y)
      for (int k = 0; k < img.channels; ++k) {
        std::vector<uint32_t> line;
        for (int x = r.left; x < r.right; ++x) line.push_back(sampleAt(img, x, y, k));
        line = referenceBlurLine(line, hx, img.bytesPerChannel, false);
        for (int x = r.left; x < r.right; ++x) setSample(img, x, y, k, line[size_t(x - r.left)]);
      }
  for (int pass = 0; pass < passes; ++pass)
    for (int x = r.left; x < r.right; ++x)
      for (int k = 0; k < img.channels; ++k) {
        std::vector<uint32_t> line;
        for (int y = r.top; y < r.bottom; ++y) line.push_back(sampleAt(img, x, y, k));
        line = referenceBlurLine(line, hy, img.bytesPerChannel, full);
        for (int y = r.top; y < r.bottom; ++y) setSample(img, x, y, k, line[size_t(y - r.top)]);
      }
}

// --- scaler --------------------------------------------------------------------------------------

RefTable referenceWeights(const fx::Filter& f, double scale, double support, double cen, int len, bool trim) {
  int first = static_cast<int>(std::trunc(cen - support + 0.5));
  int end = static_cast<int>(std::trunc(cen + support + 0.5));
  first = std::max(first, 0);
  end = std::min(end, len);
  double den = 0;
  for (int j = first; j < end; ++j) den += f((j + 0.5 - cen) / scale);
  const double sc = den != 0 ? 16384.0 / den : 16384.0;
  std::vector<int64_t> t;
  for (int j = first; j < end; ++j)
    t.push_back(static_cast<int64_t>(std::floor(sc * f((j + 0.5 - cen) / scale) + 0.5)));

  int lo = first, hi = end;  // kept range
  if (trim) {
    lo = end;
    hi = first;
    for (int j = first; j < end; ++j)
      if (t[size_t(j - first)] != 0) {
        lo = std::min(lo, j);
        hi = std::max(hi, j + 1);
      }
  }
  int64_t sum = 0;
  for (int j = lo; j < hi; ++j) sum += t[size_t(j - first)];
  RefTable out;
  if (sum == 0) {
    out.first = (first + end) / 2;
    out.end = out.first + 1;
    out.w = {16384};
    return out;
  }
  out.first = lo;
  out.end = hi;
  out.w.assign(t.begin() + (lo - first), t.begin() + (hi - first));
  if (sum != 16384) {
    const int at = std::clamp(static_cast<int>(std::trunc(cen + 0.5)), lo, hi - 1);
    out.w[size_t(at - lo)] += 16384 - sum;
  }
  return out;
}

namespace {

template <class XSum, class XRow, class Acc, int XS, int FS>
uint32_t xFirstPixel(const fx::PixelImage& s, int ax0, int ay0, const RefTable& tx, const RefTable& ty, int c,
                     uint32_t maxValue) {
  Acc acc = 0;
  for (int j = ty.first; j < ty.end; ++j) {
    XSum xs = XSum(1) << (XS - 1);
    for (int k = tx.first; k < tx.end; ++k)
      xs += static_cast<XSum>(tx.w[size_t(k - tx.first)]) * XSum(sampleAt(s, ax0 + k, ay0 + j, c));
    const XRow xr = static_cast<XRow>(xs >> XS);
    acc += static_cast<Acc>(ty.w[size_t(j - ty.first)]) * Acc(xr);
  }
  const Acc v = (acc + (Acc(1) << (FS - 1))) >> FS;
  return v > maxValue ? maxValue : static_cast<uint32_t>(v);
}

template <class Acc, class XSum, int PRE, int XS>
uint32_t yFirstPixel(const fx::PixelImage& s, int ax0, int ay0, const RefTable& tx, const RefTable& ty, int c,
                     uint32_t maxValue) {
  XSum xs = XSum(1) << (XS - 1);
  for (int k = tx.first; k < tx.end; ++k) {
    Acc acc = 0;
    for (int j = ty.first; j < ty.end; ++j)
      acc += static_cast<Acc>(ty.w[size_t(j - ty.first)]) * Acc(sampleAt(s, ax0 + k, ay0 + j, c));
    xs += static_cast<XSum>(tx.w[size_t(k - tx.first)]) * static_cast<XSum>(acc >> PRE);
  }
  const XSum v = xs >> XS;
  return v > maxValue ? maxValue : static_cast<uint32_t>(v);
}

}  // namespace

void referenceScale(const fx::detail::ScalePlan& plan, const fx::PixelImage& src, fx::PixelImage& dst) {
  if (!plan.run) return;
  const auto& m = plan.m;
  const int ax0 = int(plan.a.x0), ay0 = int(plan.a.y0), bx0 = int(plan.b.x0), by0 = int(plan.b.y0);
  const int ch = src.channels;
  const bool eight = src.bytesPerChannel == 1;
  const uint32_t maxValue = eight ? 255 : 32768;
  for (int r = 0; r < plan.b.ny; ++r) {
    const RefTable ty = referenceWeights(*plan.filterY, plan.py.scale, plan.py.support, (r + m.uy) / m.sy,
                                         int(plan.a.ny), false);
    for (int i = 0; i < plan.b.nx; ++i) {
      if (plan.point) {
        const int sx = static_cast<int>((m.ux + i) / m.sx), sy = static_cast<int>((m.uy + r) / m.sy);
        for (int c = 0; c < ch; ++c)
          setSample(dst, bx0 + i, by0 + r, c, sampleAt(src, ax0 + sx, ay0 + sy, c));
        continue;
      }
      const RefTable tx = referenceWeights(*plan.filterX, plan.px.scale, plan.px.support, (i + m.ux) / m.sx,
                                           int(plan.a.nx), true);
      for (int c = 0; c < ch; ++c) {
        uint32_t v;
        if (plan.xFirst) {
          v = eight ? xFirstPixel<uint32_t, uint16_t, uint32_t, 8, 20>(src, ax0, ay0, tx, ty, c, maxValue)
                    : xFirstPixel<uint64_t, uint32_t, uint64_t, 16, 12>(src, ax0, ay0, tx, ty, c, maxValue);
        } else if (eight) {
          v = yFirstPixel<uint32_t, uint32_t, 8, 20>(src, ax0, ay0, tx, ty, c, maxValue);
        } else if (ch == 1) {
          v = yFirstPixel<uint32_t, uint32_t, 16, 12>(src, ax0, ay0, tx, ty, c, maxValue);
        } else {
          v = yFirstPixel<uint64_t, uint64_t, 16, 12>(src, ax0, ay0, tx, ty, c, maxValue);
        }
        setSample(dst, bx0 + i, by0 + r, c, v);
      }
    }
  }
}

}  // namespace fxtest
