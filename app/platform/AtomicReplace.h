// Writing a file so that its name shows either the old or the complete new
// contents: write a temporary file beside it, bring it to the disk, then
// replace the name in one step.
#ifndef VEYRA_APP_PLATFORM_ATOMICREPLACE_H
#define VEYRA_APP_PLATFORM_ATOMICREPLACE_H

#include <string>

namespace veyra::app::platform {

// Makes a new, empty file with a unique name that starts with prefix (a path
// whose folder is where the file goes), readable and writable as a new file
// would be. Returns its path, or "" with *why set.
std::string createTemporaryFile(const std::string& prefix, std::string* why);
// Brings the file's data to the disk; false with *why set when it cannot.
bool flushToDisk(const std::string& path, std::string* why);
// Gives the file at from the name to, replacing a file of that name in one
// step; false with *why set when it cannot.
bool replaceFile(const std::string& from, const std::string& to, std::string* why);

}  // namespace veyra::app::platform

#endif
