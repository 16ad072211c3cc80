// Light shape files: 8-bit grayscale PNG and grayscale JPEG pictures read
// into one-plane host buffers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/HostDocument.h"

namespace veyra {

// Reads the shape file at path (opened as given) into a buffer of the
// picture's size, one plane of 8-bit gray made by document.makeBuffer. PNG
// is tried first, then JPEG. Only a regular file is read: a folder, a FIFO or
// a device gives nothing at once, as a missing or unreadable file does. Any
// other format or depth and a decoder error give nothing too. A JPEG whose
// data ends early is finished the way the library's own memory source
// finishes it (an end-of-image marker is inserted, the decoder fills the
// rest); a PNG that ends early gives nothing, and so does a PNG or JPEG too
// short to hold its header's size, before any buffer is asked for. There is no size
// limit of its own: a picture the host has no memory for raises
// HostResultError(-108).
HostBufferRef loadShape(HostDocument& document, const char* path);

// The two readers over a file held in memory; each gives an empty reference
// for anything it does not accept. Neither reads outside data .. data + size.
HostBufferRef readPngShape(HostDocument& document, const uint8_t* data, size_t size);
HostBufferRef readJpegShape(HostDocument& document, const uint8_t* data, size_t size);

}  // namespace veyra
