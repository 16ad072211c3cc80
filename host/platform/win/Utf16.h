// UTF-8 paths to the UTF-16 names Windows opens files by, and back; for the
// Windows sources of the platform interfaces only.
#pragma once

#include <windows.h>

#include <string>

namespace veyra::platform {

// False for text that is not valid UTF-8.
inline bool widen(const char* utf8, std::wstring& wide) {
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
  if (n <= 0) return false;
  wide.assign(static_cast<size_t>(n), L'\0');
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, &wide[0], n) != n) return false;
  wide.resize(static_cast<size_t>(n - 1));
  return true;
}

inline std::string narrow(const wchar_t* wide, int length) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, length, &utf8[0], n, nullptr, nullptr);
  return utf8;
}

}  // namespace veyra::platform
