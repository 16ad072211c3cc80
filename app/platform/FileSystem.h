// Files named by UTF-8 paths: opening, what a path names, and the pieces of
// a path. Both '/' and, on Windows, '\' separate folders.
#ifndef VEYRA_APP_PLATFORM_FILESYSTEM_H
#define VEYRA_APP_PLATFORM_FILESYSTEM_H

#include <cstdio>
#include <string>

namespace veyra::app::platform {

// std::fopen for a UTF-8 path; errno tells why it failed.
std::FILE* openFile(const std::string& path, const char* mode);

enum class PathKind { Missing, File, Folder, Other };
// What the path names, following links.
PathKind pathKind(const std::string& path);
// True when files can be made in the folder.
bool folderWritable(const std::string& folder);
// Removes a file; false when it could not (errno tells why).
bool removeFile(const std::string& path);

// True for the characters that separate folders in a path here.
bool isSeparator(char c);
// The folder part of path ("." when there is none), and the name after it.
std::string folderOf(const std::string& path);
std::string baseOf(const std::string& path);
// folder and name joined with the platform's separator.
std::string joinPath(const std::string& folder, const std::string& name);

// The folder of the running executable, or "." when it cannot be told.
std::string executableFolder();

}  // namespace veyra::app::platform

#endif
