#pragma once

namespace fx {

// One resampling kernel of the filter table.
struct Filter {
  const char* name;
  // The continuous kernel at distance x in filter units; params is the record's parameter block.
  double (*kernel)(double x, const void* params);
  double support;  // radius beyond which the kernel is 0
  double blur;     // widening factor (1.0 for every filter)
  bool cardinal;   // 1 at 0 and 0 at the other integers inside the support
  const void* params;

  double operator()(double x) const { return kernel(x, params); }
};

// The record named exactly name (case-sensitive), or nullptr. The first call counts the table and
// computes the mitchell and kaiser parameter blocks; later calls only search. Not thread-safe on
// the first call.
const Filter* findFilter(const char* name);

namespace detail {
// I0, the modified Bessel function of order 0, by its power series in t = (z/2)^2. The loop adds
// terms while they exceed 1e-7; with addFirstTerm the first term t is added unconditionally.
double besselI0(double z, bool addFirstTerm);
}  // namespace detail

}  // namespace fx
