#include "app/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/platform/AtomicReplace.h"
#include "app/platform/FileSystem.h"

namespace veyra::app {

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {
  std::string why;
  temp_ = platform::createTemporaryFile(
      platform::joinPath(platform::folderOf(path_), "." + platform::baseOf(path_) + "."), &why);
  if (temp_.empty()) throw AtomicFileError(path_ + ": cannot write: " + why);
}

AtomicFile::~AtomicFile() {
  if (committed_) return;
  platform::removeFile(temp_);
  platform::forgetTemporaryFile(temp_);
}

void AtomicFile::commit() {
  // The data reaches the disk before the name does, so that a crash never
  // leaves the file empty or half written.
  std::string why;
  if (!platform::flushToDisk(temp_, &why) || !platform::replaceFile(temp_, path_, &why))
    throw AtomicFileError(path_ + ": cannot write: " + why);
  platform::forgetTemporaryFile(temp_);
  committed_ = true;
}

void writeFileAtomically(const std::string& path, const std::string& text) {
  AtomicFile file(path);
  std::FILE* out = platform::openFile(file.writePath(), "wb");
  if (out == nullptr) throw AtomicFileError(path + ": cannot write: " + std::strerror(errno));
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  int error = errno;
  const bool closed = std::fclose(out) == 0;
  if (written && !closed) error = errno;
  if (!written || !closed) throw AtomicFileError(path + ": cannot write: " + std::strerror(error));
  file.commit();
}

}  // namespace veyra::app
