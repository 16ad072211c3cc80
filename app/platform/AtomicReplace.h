// Writing a file so that its name shows either the old or the complete new
// contents: write a temporary file beside it, bring it to the disk, then
// replace the name in one step.
#ifndef VEYRA_APP_PLATFORM_ATOMICREPLACE_H
#define VEYRA_APP_PLATFORM_ATOMICREPLACE_H

#include <string>

namespace veyra::app::platform {

// Makes a new, empty file with a unique name that starts with prefix (a path
// whose folder is where the file goes), readable and writable as a new file
// would be. Returns its path, or "" with *why set. Until forgetTemporaryFile,
// a way out of the process that runs no destructors (SIGTERM, SIGHUP, a
// second Ctrl-C...) removes the file first.
std::string createTemporaryFile(const std::string& prefix, std::string* why);
// The temporary file was renamed or removed: nothing is left to clean up.
void forgetTemporaryFile(const std::string& path);
// Removes every temporary file not yet forgotten; safe in a signal handler.
void removeTemporaryFiles();
// Brings the file's data to the disk; false with *why set when it cannot.
bool flushToDisk(const std::string& path, std::string* why);
// Gives the file at from the name to, replacing a file of that name in one
// step; false with *why set when it cannot.
bool replaceFile(const std::string& from, const std::string& to, std::string* why);

}  // namespace veyra::app::platform

#endif
