#include "render/RegularFile.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdio>

#include "host/platform/win/Utf16.h"

namespace veyra {

namespace {

// A file opened by its UTF-16 name, closed on every way out; null unless the
// name is valid UTF-8 and names a regular file (not a folder or a device).
struct OpenFile {
  explicit OpenFile(const char* path) {
    std::wstring wide;
    if (!platform::widen(path, wide)) return;
    file = _wfopen(wide.c_str(), L"rb");
    if (file != nullptr && (_fstat64(_fileno(file), &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG)) {
      std::fclose(file);
      file = nullptr;
    }
  }
  ~OpenFile() {
    if (file != nullptr) std::fclose(file);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  std::FILE* file = nullptr;
  struct _stat64 st {};
};

}  // namespace

bool isReadableRegularFile(const char* path) { return OpenFile(path).file != nullptr; }

bool readRegularFile(const char* path, std::vector<uint8_t>& bytes) {
  const OpenFile f(path);
  if (f.file == nullptr || f.st.st_size < 0 || static_cast<uint64_t>(f.st.st_size) > SIZE_MAX) return false;
  bytes.resize(static_cast<size_t>(f.st.st_size));
  // Fewer bytes than the size said: the file shrank while it was read.
  return std::fread(bytes.data(), 1, bytes.size(), f.file) == bytes.size();
}

}  // namespace veyra
