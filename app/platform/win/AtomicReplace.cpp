#include "app/platform/AtomicReplace.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "app/platform/win/Utf16.h"

namespace veyra::app::platform {

namespace {

// Temporary files not yet renamed or removed. The console control handler
// runs on a thread of its own, so a lock guards them.
SRWLOCK pendingLock = SRWLOCK_INIT;
std::vector<std::string> pending;

struct PendingGuard {
  PendingGuard() { AcquireSRWLockExclusive(&pendingLock); }
  ~PendingGuard() { ReleaseSRWLockExclusive(&pendingLock); }
  PendingGuard(const PendingGuard&) = delete;
  PendingGuard& operator=(const PendingGuard&) = delete;
};

}  // namespace

void forgetTemporaryFile(const std::string& path) {
  PendingGuard guard;
  pending.erase(std::remove(pending.begin(), pending.end(), path), pending.end());
}

void removeTemporaryFiles() {
  PendingGuard guard;
  for (const std::string& name : pending) DeleteFileW(widen(name).c_str());
}

std::string createTemporaryFile(const std::string& prefix, std::string* why) {
  // A new name from the process id, the clock and a counter; CREATE_NEW
  // refuses a name that exists, so a clash only costs another try.
  static unsigned counter = 0;
  const char* const digits = "0123456789abcdefghijklmnopqrstuvwxyz";
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned long long v = (static_cast<unsigned long long>(GetCurrentProcessId()) << 32) ^ GetTickCount64() ^
                           (static_cast<unsigned long long>(++counter) * 2654435761u);
    std::string name = prefix;
    for (int i = 0; i < 6; ++i, v /= 36) name += digits[v % 36];
    HANDLE h = CreateFileW(widen(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      PendingGuard guard;
      pending.push_back(name);
      return name;
    }
    const DWORD err = GetLastError();
    if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) {
      *why = systemErrorText(err);
      return "";
    }
  }
  *why = "no unused temporary file name";
  return "";
}

bool flushToDisk(const std::string& path, std::string* why) {
  HANDLE h = CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool flushed = h != INVALID_HANDLE_VALUE && FlushFileBuffers(h);
  const DWORD err = GetLastError();
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  if (!flushed) *why = systemErrorText(err);
  return flushed;
}

bool replaceFile(const std::string& from, const std::string& to, std::string* why) {
  if (MoveFileExW(widen(from).c_str(), widen(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  *why = systemErrorText(GetLastError());
  return false;
}

}  // namespace veyra::app::platform
