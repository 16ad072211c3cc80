#include "app/platform/FileSystem.h"

#include <io.h>
#include <cctype>
#include <windows.h>

#include <vector>

#include "app/platform/win/Utf16.h"

namespace veyra::app::platform {

std::FILE* openFile(const std::string& path, const char* mode) {
  return _wfopen(widen(path).c_str(), widen(mode).c_str());
}

PathKind pathKind(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::Folder;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return PathKind::Other;
  return PathKind::File;
}

bool folderWritable(const std::string& folder) { return _waccess(widen(folder).c_str(), 2) == 0; }

bool removeFile(const std::string& path) { return _wremove(widen(path).c_str()) == 0; }

bool isSeparator(char c) { return c == '/' || c == '\\'; }

namespace {

// Length of a drive prefix "C:".
size_t driveLength(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0])) ? 2 : 0;
}

}  // namespace

std::string folderOf(const std::string& path) {
  const size_t drive = driveLength(path);
  const size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos || slash < drive) return drive ? path.substr(0, drive) : ".";
  // Keep the separator of a root folder: "C:\" and "\".
  return slash == drive ? path.substr(0, slash + 1) : path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return path.substr(driveLength(path));
  return path.substr(slash + 1);
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return isSeparator(folder.back()) || (folder.size() == 2 && folder[1] == ':') ? folder + name
                                                                                : folder + "\\" + name;
}

std::string executableFolder() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return ".";
    if (n < buf.size()) return folderOf(narrow(buf.data(), static_cast<int>(n)));
    buf.resize(buf.size() * 2);
  }
}

}  // namespace veyra::app::platform
