#include "render/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace veyra {

namespace {

// An open file, closed on every way out; -1 when it cannot be opened.
struct OpenFile {
  // Without O_NONBLOCK, opening a FIFO waits for a writer, for ever if none comes.
  explicit OpenFile(const char* path) : fd(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)) {}
  ~OpenFile() {
    if (fd >= 0) close(fd);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  bool isRegular(struct stat& st) const { return fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode); }
  int fd;
};

}  // namespace

bool isReadableRegularFile(const char* path) {
  struct stat st {};
  return OpenFile(path).isRegular(st);
}

bool readRegularFile(const char* path, std::vector<uint8_t>& bytes) {
  const OpenFile file(path);
  const int fd = file.fd;
  struct stat st {};
  if (!file.isRegular(st) || static_cast<uint64_t>(st.st_size) > SIZE_MAX) return false;
  bytes.resize(static_cast<size_t>(st.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;  // an error, or the file shrank while it was read
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace veyra
