// UTF-8 inside, UTF-16 at the Windows API.
#ifndef VEYRA_APP_PLATFORM_WIN_UTF16_H
#define VEYRA_APP_PLATFORM_WIN_UTF16_H

#include <string>

namespace veyra::app::platform {

// Invalid sequences become U+FFFD.
std::wstring widen(const std::string& utf8);
std::string narrow(const wchar_t* utf16, int length = -1);
// The text of a Windows error code, without the trailing line break and full stop.
std::string systemErrorText(unsigned long code);

}  // namespace veyra::app::platform

#endif
