// Replacing a file atomically: the new content is written beside the file
// and takes its name only when complete, and no way out of the process leaves
// a partial or temporary file behind.
#ifndef VEYRA_APP_ATOMICFILE_H
#define VEYRA_APP_ATOMICFILE_H

#include <stdexcept>
#include <string>

namespace veyra::app {

class AtomicFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The content is written to writePath(), a hidden temporary file in the
// target's folder that signals ending the process remove as well
// (platform::createTemporaryFile). commit() brings the data to the disk and
// gives it the target's name in one step; the destructor removes an
// uncommitted file.
class AtomicFile {
 public:
  explicit AtomicFile(std::string path);  // throws AtomicFileError
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  const std::string& writePath() const { return temp_; }
  // Throws AtomicFileError.
  void commit();

 private:
  std::string path_;
  std::string temp_;
  bool committed_ = false;
};

// Writes text to path through an AtomicFile; throws AtomicFileError.
void writeFileAtomically(const std::string& path, const std::string& text);

}  // namespace veyra::app

#endif
