// libtiff's open for a UTF-8 path.
#ifndef VEYRA_APP_PLATFORM_TIFFOPEN_H
#define VEYRA_APP_PLATFORM_TIFFOPEN_H

#include <tiffio.h>

#include <string>

namespace veyra::app::platform {

TIFF* openTiff(const std::string& path, const char* mode);

}  // namespace veyra::app::platform

#endif
