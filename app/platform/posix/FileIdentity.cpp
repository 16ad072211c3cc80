#include "app/platform/FileIdentity.h"

#include <sys/stat.h>

namespace veyra::app::platform {

std::optional<FileId> fileId(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

}  // namespace veyra::app::platform
