// Whether the file a shape path names can give the light its shape, and if
// not, why, in words the dialog shows.
#pragma once

#include <string>

#include "host/HostDocument.h"
#include "host/PathBuffer.h"

namespace veyra {

enum class ShapeFileState {
  NoFile,     // no file chosen
  Usable,     // the renderer reads a shape from it
  Unopened,   // no regular file that can be opened at the path
  NotAShape,  // a file, but not an 8-bit grayscale PNG or grayscale JPEG
};

// Reads the file as the renderer does (the shape it would get is released
// again). A host out of memory raises HostResultError(-108) as the read does.
ShapeFileState checkShapeFile(HostDocument& document, const PathBuffer& path);

// What a state means, for the dialog: empty for NoFile and Usable.
const char* shapeFileProblem(ShapeFileState state);

}  // namespace veyra
