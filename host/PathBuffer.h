// A fixed 300-character, zero-terminated path held inline in the parameter
// record, so that the record stays a plain block the host can copy.
#pragma once

#include <cstddef>
#include <string>

namespace veyra {

class PathBuffer {
public:
  static constexpr std::size_t kCapacity = 300;  // including the terminating zero

  PathBuffer() { clear(); }

  // All 300 characters become 0.
  void clear();
  // Copies text in when it is not empty (an empty text leaves the buffer as
  // it was). Text longer than 299 characters is cut at 299.
  void assign(const char* text);
  void assign(const std::string& text) { assign(text.c_str()); }
  // Copies all 300 characters; copying onto itself does nothing.
  void copy(const PathBuffer& other);
  // Exact, case-sensitive comparison of the two strings.
  bool equals(const PathBuffer& other) const;
  bool isEmpty() const { return chars_[0] == 0; }
  // Appends the platform separator and name (cut to fit the buffer).
  void appendName(const char* name);
  // Ends the string at its last separator ('/' or '\'), removing it;
  // unchanged when there is none.
  void cutToFolder();
  // The text after the last separator up to the last dot after it; the whole
  // rest when it has no dot; empty when the path has no separator.
  std::string displayName() const;

  const char* c_str() const { return chars_; }
  std::size_t length() const;

private:
  char chars_[kCapacity];
};

}  // namespace veyra
