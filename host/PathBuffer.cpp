#include "host/PathBuffer.h"

#include <cstring>

#include "host/platform/ModuleFiles.h"

namespace veyra {

namespace {
bool isSeparator(char c) { return c == '/' || c == '\\'; }

// Index of the last separator, or -1.
long lastSeparator(const char* s) {
  long found = -1;
  for (long i = 0; s[i] != 0; ++i) {
    if (isSeparator(s[i])) found = i;
  }
  return found;
}
}  // namespace

void PathBuffer::clear() { std::memset(chars_, 0, sizeof chars_); }

void PathBuffer::assign(const char* text) {
  if (text == nullptr || text[0] == 0) return;
  std::size_t n = std::strlen(text);
  if (n > kCapacity - 1) n = kCapacity - 1;
  std::memmove(chars_, text, n);
  chars_[n] = 0;
}

void PathBuffer::copy(const PathBuffer& other) {
  if (&other == this) return;
  std::memcpy(chars_, other.chars_, sizeof chars_);
}

bool PathBuffer::equals(const PathBuffer& other) const { return std::strcmp(chars_, other.chars_) == 0; }

std::size_t PathBuffer::length() const { return strnlen(chars_, kCapacity); }

void PathBuffer::appendName(const char* name) {
  std::size_t n = length();
  if (n + 1 < kCapacity) chars_[n++] = platform::pathSeparator();
  for (std::size_t i = 0; name != nullptr && name[i] != 0 && n + 1 < kCapacity; ++i) chars_[n++] = name[i];
  chars_[n] = 0;
}

void PathBuffer::cutToFolder() {
  long sep = lastSeparator(chars_);
  if (sep >= 0) chars_[sep] = 0;
}

std::string PathBuffer::displayName() const {
  long sep = lastSeparator(chars_);
  if (sep < 0) return std::string();
  std::string rest(chars_ + sep + 1);
  std::size_t dot = rest.rfind('.');
  if (dot != std::string::npos) rest.erase(dot);
  return rest;
}

}  // namespace veyra
