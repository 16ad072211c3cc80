#include "app/platform/TiffOpen.h"

namespace veyra::app::platform {

TIFF* openTiff(const std::string& path, const char* mode) { return TIFFOpen(path.c_str(), mode); }

}  // namespace veyra::app::platform
