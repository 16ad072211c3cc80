#include "ui/ShapeFileCheck.h"

#include "render/RegularFile.h"
#include "render/ShapeFile.h"

namespace veyra {

ShapeFileState checkShapeFile(HostDocument& document, const PathBuffer& path) {
  if (path.isEmpty()) return ShapeFileState::NoFile;
  if (loadShape(document, path.c_str())) return ShapeFileState::Usable;
  // Asked without waiting: a FIFO would block an ordinary open for ever.
  return isReadableRegularFile(path.c_str()) ? ShapeFileState::NotAShape : ShapeFileState::Unopened;
}

const char* shapeFileProblem(ShapeFileState state) {
  switch (state) {
    case ShapeFileState::Unopened:
      return "cannot be opened";
    case ShapeFileState::NotAShape:
      return "not an 8-bit grayscale PNG or grayscale JPEG";
    default:
      return "";
  }
}

}  // namespace veyra
