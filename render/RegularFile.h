// Reading a whole file that is a regular file.
#pragma once

#include <cstdint>
#include <vector>

namespace veyra {

// The whole file at path in bytes, or false when it is not a regular file
// (a folder, a FIFO, a device) or cannot be opened or read in full. Never
// waits: opening a FIFO that nobody writes to answers false at once.
bool readRegularFile(const char* path, std::vector<uint8_t>& bytes);

// True when path can be opened for reading and is a regular file; never waits.
bool isReadableRegularFile(const char* path);

}  // namespace veyra
