#include "fx/Filters.h"

#include <cmath>
#include <cstring>

namespace fx {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Mitchell-Netravali cubic, B = C = 1/3: p0, p2, p3, q0, q1, q2, q3.
double gMitchell[7];
// Kaiser window: alpha and 1 / I0(alpha).
double gKaiser[2];

// Each piece includes its left end and excludes its right end.
double boxKernel(double x, const void*) { return (x >= -0.5 && x < 0.5) ? 1.0 : 0.0; }

double triangleKernel(double x, const void*) {
  if (x >= -1.0 && x < 0.0) return 1.0 + x;
  if (x >= 0.0 && x < 1.0) return 1.0 - x;
  return 0.0;
}

double quadraticKernel(double x, const void*) {
  if (x >= -1.5 && x < -0.5) return 0.5 * (x + 1.5) * (x + 1.5);
  if (x >= -0.5 && x < 0.5) return 0.75 - x * x;
  if (x >= 0.5 && x < 1.5) return 0.5 * (x - 1.5) * (x - 1.5);
  return 0.0;
}

double cubicKernel(double x, const void*) {
  const double ax = std::fabs(x);
  if (ax < 1.0) return (3.0 * ax * ax * ax - 6.0 * x * x + 4.0) / 6.0;
  if (ax < 2.0) return (2.0 - ax) * (2.0 - ax) * (2.0 - ax) / 6.0;
  return 0.0;
}

double catromKernel(double x, const void*) {
  const double ax = std::fabs(x);
  if (ax < 1.0) return (3.0 * ax * ax * ax - 5.0 * x * x + 2.0) / 2.0;
  if (ax < 2.0) return (-ax * ax * ax + 5.0 * x * x - 8.0 * ax + 4.0) / 2.0;
  return 0.0;
}

double mitchellKernel(double x, const void* params) {
  const double* c = static_cast<const double*>(params);
  if (x < -2.0 || x >= 2.0) return 0.0;
  const double ax = std::fabs(x);
  if (x < -1.0 || x >= 1.0) return c[3] + c[4] * ax + c[5] * x * x + c[6] * ax * ax * ax;
  return c[0] + c[1] * x * x + c[2] * ax * ax * ax;
}

double gaussianKernel(double x, const void*) { return std::exp(-2.0 * x * x) * std::sqrt(2.0 / kPi); }

double sincKernel(double x, const void*) {
  if (x == 0.0) return 1.0;
  return std::sin(kPi * x) / (kPi * x);
}

double zeroKernel(double, const void*) { return 0.0; }

// The window kernels are evaluated without a range test.
double hanningKernel(double x, const void*) { return 0.5 + 0.5 * std::cos(kPi * x); }
double hammingKernel(double x, const void*) { return 0.54 + 0.46 * std::cos(kPi * x); }
double blackmanKernel(double x, const void*) {
  return 0.42 + 0.5 * std::cos(kPi * x) + 0.08 * std::cos(2.0 * kPi * x);
}

double kaiserKernel(double x, const void* params) {
  const double* c = static_cast<const double*>(params);
  const double z = static_cast<double>(c[0] * std::sqrt(1.0 - x * x));
  return detail::besselI0(z, false) * c[1];
}

constexpr int kTableSlots = 30;

// Room for thirty records; the lookup stops at the first empty slot.
Filter gTable[kTableSlots] = {
    {"point", boxKernel, 0.0, 1.0, true, nullptr},
    {"box", boxKernel, 0.5, 1.0, true, nullptr},
    {"triangle", triangleKernel, 1.0, 1.0, true, nullptr},
    {"quadratic", quadraticKernel, 1.5, 1.0, false, nullptr},
    {"cubic", cubicKernel, 2.0, 1.0, false, nullptr},
    {"catrom", catromKernel, 2.0, 1.0, true, nullptr},
    {"mitchell", mitchellKernel, 2.0, 1.0, false, gMitchell},
    {"gaussian", gaussianKernel, 1.25, 1.0, false, nullptr},
    {"sinc", sincKernel, 4.0, 1.0, true, nullptr},
    {"bessel", zeroKernel, 3.2383, 1.0, false, nullptr},
    {"hanning", hanningKernel, 1.0, 1.0, true, nullptr},
    {"hamming", hammingKernel, 1.0, 1.0, true, nullptr},
    {"blackman", blackmanKernel, 1.0, 1.0, true, nullptr},
    {"kaiser", kaiserKernel, 1.0, 1.0, true, gKaiser},
};

// Counts the table and fills the parameter blocks; returns the number of records.
int initialiseTable() {
  const double b = 1.0 / 3.0;
  const double c = 1.0 / 3.0;
  gMitchell[0] = (6.0 - 2.0 * b) / 6.0;
  gMitchell[1] = (-18.0 + 12.0 * b + 6.0 * c) / 6.0;
  gMitchell[2] = (12.0 - 9.0 * b - 6.0 * c) / 6.0;
  gMitchell[3] = (8.0 * b + 24.0 * c) / 6.0;
  gMitchell[4] = (-12.0 * b - 48.0 * c) / 6.0;
  gMitchell[5] = (6.0 * b + 30.0 * c) / 6.0;
  gMitchell[6] = (-b - 6.0 * c) / 6.0;
  gKaiser[0] = 6.5;
  gKaiser[1] = 1.0 / detail::besselI0(6.5, true);
  int count = 0;
  while (count < kTableSlots && gTable[count].name != nullptr) ++count;
  return count;
}

}  // namespace

double detail::besselI0(double z, bool addFirstTerm) {
  const double t = (z / 2.0) * (z / 2.0);
  double sum = 1.0;
  double term = t;
  double k = 1.0;
  if (addFirstTerm) {
    sum += term;
    k = 2.0;
    term *= t / (k * k);
  }
  while (term > 1e-7) {
    sum += term;
    k += 1.0;
    term *= t / (k * k);
  }
  return sum;
}

const Filter* findFilter(const char* name) {
  static const int count = initialiseTable();  // once, on the first lookup
  if (name == nullptr) return nullptr;
  for (int i = 0; i < count; ++i) {
    if (std::strcmp(gTable[i].name, name) == 0) return &gTable[i];
  }
  return nullptr;
}

}  // namespace fx
