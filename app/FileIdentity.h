// Whether the files a command names are distinct: by file identity, through
// symbolic links, hard links and any spelling of the paths.
#ifndef VEYRA_APP_FILEIDENTITY_H
#define VEYRA_APP_FILEIDENTITY_H

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veyra::app {

// A file a command names: what it is to the user ("INPUT", "OUTPUT",
// "--record") and whether the command writes it.
struct NamedFile {
  std::string role;
  std::string path;
  bool written = false;
};

// The first file written that is the same file as another one named, with
// that other one; nothing when every file written is distinct. A file yet to
// be made is known by its folder's identity and its name.
std::optional<std::pair<NamedFile, NamedFile>> findOverwrittenFile(const std::vector<NamedFile>& files);

}  // namespace veyra::app

#endif
