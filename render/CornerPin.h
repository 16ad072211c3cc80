// The corner pin: the canvas is mapped onto the quadrilateral of four corner
// points (upper left, upper right, lower right, lower left, as fractions of
// the canvas) by a projective mapping.
#pragma once

#include "host/HostDocument.h"
#include "host/LightParameters.h"

namespace veyra {

// A 3 x 3 matrix for points as row vectors [u v 1].
struct ProjectiveMatrix {
  double m[3][3];
};

// The mapping of the unit square onto the quadrilateral (x[k], y[k]), k = 0
// upper left, 1 upper right, 2 lower right, 3 lower left. Affine when the
// quadrilateral is a parallelogram (both sums below 1e-13). False when the
// projective case has a zero denominator.
bool squareToQuad(const float x[4], const float y[4], ProjectiveMatrix& out);

// The adjoint (the inverse up to a factor), which maps back from the
// quadrilateral to the square.
ProjectiveMatrix adjoint(const ProjectiveMatrix& a);

// Refills the one-plane canvas from a copy of itself through the corner pin:
// every canvas pixel whose position maps into the unit square takes the
// bilinear sample of the copy there; every other pixel becomes 0. When the
// mapping cannot be made (a zero denominator, or a corner that is NaN or
// infinite) the canvas is left cleared to 0. Returns whether it was mapped.
bool applyCornerPin(HostDocument& host, HostBuffer& canvas, const CornerPoint corners[4]);

}  // namespace veyra
