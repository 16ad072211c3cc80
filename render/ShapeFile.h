// Light shape files: 8-bit grayscale PNG and grayscale JPEG pictures read
// into one-plane host buffers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/HostDocument.h"

namespace veyra {

// Largest shape accepted, in pixels (8192 x 8192 or the same area in another
// shape), and its largest side. A header claiming more gives no shape rather
// than an allocation the host cannot serve or a long read of nothing.
constexpr uint64_t kMaxShapePixels = uint64_t{1} << 26;
constexpr uint32_t kMaxShapeSide = 65535;
// Files larger than this are not read.
constexpr uint64_t kMaxShapeFileBytes = uint64_t{256} << 20;

// Reads the shape file at path (opened as given) into a buffer of the
// picture's size, one plane of 8-bit gray made by document.makeBuffer. PNG
// is tried first, then JPEG. Gives an empty reference for a missing or
// unreadable file, any other format or depth, a decoder error or a picture
// over the size limits. A JPEG whose data ends early is finished the way the
// library's own memory source finishes it (an end-of-image marker is
// inserted, the decoder fills the rest); a PNG that ends early gives nothing.
// A host out of memory raises HostResultError(-108).
HostBufferRef loadShape(HostDocument& document, const char* path);

// The two readers over a file held in memory; each gives an empty reference
// for anything it does not accept. Neither reads outside data .. data + size.
HostBufferRef readPngShape(HostDocument& document, const uint8_t* data, size_t size);
HostBufferRef readJpegShape(HostDocument& document, const uint8_t* data, size_t size);

}  // namespace veyra
