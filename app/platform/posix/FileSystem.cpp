#include "app/platform/FileSystem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace veyra::app::platform {

std::FILE* openFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

PathKind pathKind(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return PathKind::Missing;
  if (S_ISREG(st.st_mode)) return PathKind::File;
  if (S_ISDIR(st.st_mode)) return PathKind::Folder;
  return PathKind::Other;
}

bool folderWritable(const std::string& folder) { return access(folder.c_str(), W_OK | X_OK) == 0; }

bool removeFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool isSeparator(char c) { return c == '/'; }

std::string folderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string executableFolder() {
  std::vector<char> buf(4096);
  const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return ".";
  return folderOf(std::string(buf.data(), static_cast<size_t>(n)));
}

}  // namespace veyra::app::platform
