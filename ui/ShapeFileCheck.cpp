#include "ui/ShapeFileCheck.h"

#include <cstdio>
#include <memory>

#include "render/ShapeFile.h"

namespace veyra {

namespace {
struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
}  // namespace

ShapeFileState checkShapeFile(HostDocument& document, const PathBuffer& path) {
  if (path.isEmpty()) return ShapeFileState::NoFile;
  if (loadShape(document, path.c_str())) return ShapeFileState::Usable;
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  return file ? ShapeFileState::NotAShape : ShapeFileState::Unopened;
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
