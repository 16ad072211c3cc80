#include "app/platform/TiffOpen.h"

#include "app/platform/win/Utf16.h"

namespace veyra::app::platform {

TIFF* openTiff(const std::string& path, const char* mode) { return TIFFOpenW(widen(path).c_str(), mode); }

}  // namespace veyra::app::platform
