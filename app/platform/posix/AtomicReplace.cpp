#include "app/platform/AtomicReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace veyra::app::platform {

std::string createTemporaryFile(const std::string& prefix, std::string* why) {
  std::string temp = prefix + "XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    *why = std::strerror(errno);
    return "";
  }
  // mkstemp makes the file private; give it the mode a new file would get.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  close(fd);
  return temp;
}

bool flushToDisk(const std::string& path, std::string* why) {
  const int fd = open(path.c_str(), O_RDONLY);
  const bool synced = fd >= 0 && fsync(fd) == 0;
  const int err = errno;
  if (fd >= 0) close(fd);
  if (!synced) *why = std::strerror(err);
  return synced;
}

bool replaceFile(const std::string& from, const std::string& to, std::string* why) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  *why = std::strerror(errno);
  return false;
}

}  // namespace veyra::app::platform
