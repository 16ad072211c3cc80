#include "app/FileIdentity.h"

#include "app/platform/FileIdentity.h"
#include "app/platform/FileSystem.h"

namespace veyra::app {

namespace {

struct Identity {
  platform::FileId id;
  std::string name;  // empty for an existing file
  bool operator==(const Identity& o) const { return id == o.id && name == o.name; }
};

std::optional<Identity> identify(const std::string& path) {
  if (const auto id = platform::fileId(path)) return Identity{*id, {}};
  if (const auto folder = platform::fileId(platform::folderOf(path))) return Identity{*folder, platform::baseOf(path)};
  return std::nullopt;
}

}  // namespace

std::optional<std::pair<NamedFile, NamedFile>> findOverwrittenFile(const std::vector<NamedFile>& files) {
  std::vector<std::optional<Identity>> ids;
  ids.reserve(files.size());
  for (const NamedFile& f : files) ids.push_back(identify(f.path));
  for (size_t i = 0; i < files.size(); ++i) {
    if (!files[i].written || !ids[i]) continue;
    for (size_t j = 0; j < files.size(); ++j)
      if (j != i && ids[j] == ids[i]) return std::make_pair(files[i], files[j]);
  }
  return std::nullopt;
}

}  // namespace veyra::app
