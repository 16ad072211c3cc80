// A GIMP drawable as a host document and back. Colour channels go to the
// filter, alpha never does. 8-bit drawables are read and written in their
// own format, byte for byte; higher precisions are rounded to 8 bits for the
// filter, and only the samples the filter changed are written back at 8-bit
// precision (every other sample and all alpha keep their full precision).
#ifndef VEYRA_GIMP_DRAWABLEDOCUMENT_H
#define VEYRA_GIMP_DRAWABLEDOCUMENT_H

#include <glib.h>

#include <optional>

#include "app/Document.h"
#include "host/PITypes.h"

namespace veyra::gimp {

// The selection's bounds within the drawable (bottom and right exclusive),
// or nothing when the selection misses the drawable.
std::optional<VRect> filterArea(gint32 drawable);

// The whole drawable as an 8-bit document. Throws std::runtime_error for
// drawables the filter cannot take (indexed, larger than a filter record
// describes).
app::Document readDrawable(gint32 drawable);

// Whether the drawable holds 8 bits per sample (read and written as they are).
bool drawableIsEightBit(gint32 drawable);

// Writes the area of doc through the drawable's shadow buffer and merges it,
// so GIMP applies the selection mask and records one undo step. original is
// the document as readDrawable gave it, needed unless the drawable is 8-bit.
void writeDrawable(gint32 drawable, const app::Document& doc, const app::Document* original, const VRect& area);

}  // namespace veyra::gimp

#endif
