// What makes two names one file: its device (volume) and its number there.
#ifndef VEYRA_APP_PLATFORM_FILEIDENTITY_H
#define VEYRA_APP_PLATFORM_FILEIDENTITY_H

#include <cstdint>
#include <optional>
#include <string>

namespace veyra::app::platform {

struct FileId {
  uint64_t device = 0;
  uint64_t index = 0;
  bool operator==(const FileId& o) const { return device == o.device && index == o.index; }
};

// The identity of the file or folder at path, following links; nothing when
// there is none or it cannot be reached.
std::optional<FileId> fileId(const std::string& path);

}  // namespace veyra::app::platform

#endif
