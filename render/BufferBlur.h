// The blurs of the render engine: an iterated box blur with one extra pass
// (two box passes per direction) over a whole buffer, in place.
#pragma once

#include "host/HostBuffer.h"
#include "render/WorkerPool.h"

namespace veyra {

// The radius of a blur length (a parameter in pixels of the full image) times
// a factor (the zoom, or the shape's scale against the image) as the box blur
// gets it. A length that is NaN, zero or negative gives 0: no blur in that
// direction; +infinity blurs as the largest finite length (the band margin
// counts them the same way). Products of 2^31 and more are limited to 2^31, which
// blurs exactly as any larger radius would: the half-width is then a whole
// number beyond every line's length, so the end taps weigh 0 and the
// half-width is cut to the line.
float blurRadius(double length, double factor);

// Blurs every plane of the buffer in place with the box blur, one extra pass,
// radii blurRadius(lengthX, factorX) and blurRadius(lengthY, factorY).
// Returns whether a blur ran: nothing runs when both radii are 0. With a
// pool the horizontal passes run on bands of rows and the vertical passes on
// blocks of columns at once; every line is filtered whole either way, so
// the result is the same for any number of threads.
bool blurBuffer(HostBuffer& buffer, double lengthX, double factorX, double lengthY, double factorY,
                WorkerPool* pool = nullptr);

// The two halves of blurBuffer, for stages that blur rows while they are
// still in cache from making them: blurRows runs the horizontal passes over
// the rows [top, bottom) (each row alone, so parts may run at once on
// different threads), blurColumns the vertical passes over the whole buffer.
// blurRows over every row, then blurColumns, gives blurBuffer's result.
void blurRows(HostBuffer& buffer, double lengthX, double factorX, int32_t top, int32_t bottom);
void blurColumns(HostBuffer& buffer, double lengthY, double factorY, WorkerPool* pool = nullptr);

}  // namespace veyra
