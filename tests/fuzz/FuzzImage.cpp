// Fuzz target: the host application's image readers (PNG, JPEG, TIFF),
// recognised by their first bytes as `veyra` does.
#include <stdexcept>

#include "FuzzMain.h"
#include "app/ImageFile.h"

void fuzzOne(const std::string& path) {
  try {
    const veyra::app::Document doc = veyra::app::loadImage(path);
    std::printf("%s: %d x %d %s\n", path.c_str(), doc.width(), doc.height(), veyra::app::modeName(doc.mode()));
  } catch (const veyra::app::ImageError& e) {
    std::printf("%s: refused: %.200s\n", path.c_str(), e.what());
  } catch (const std::invalid_argument& e) {
    std::printf("%s: refused: %.200s\n", path.c_str(), e.what());
  }
}
