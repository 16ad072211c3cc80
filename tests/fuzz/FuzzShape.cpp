// Fuzz target: the light shape file readers (PNG, then JPEG) through the
// host's buffer suite, with host memory limited as a real host's is.
#include "FuzzMain.h"
#include "host/Errors.h"
#include "render/ShapeFile.h"
#include "support/LightTestHost.h"

void fuzzOne(const std::string& path) {
  veyra::test::LightTestHost host(veyra::app::ColorMode::Gray);
  host.setMemoryLimit(size_t{256} << 20);
  try {
    veyra::HostBufferRef shape = veyra::loadShape(host.document(), path.c_str());
    // Touch every row, so that a buffer smaller than its size says is found.
    unsigned sum = 0;
    if (shape)
      for (int32_t y = 0; y < shape->height(); ++y) sum += shape->row(y)[shape->width() - 1];
    std::printf("%s: %s %u\n", path.c_str(), shape ? "shape" : "no shape", sum & 0xff);
  } catch (const veyra::HostResultError& e) {
    std::printf("%s: host result %d\n", path.c_str(), e.code());
  }
}
