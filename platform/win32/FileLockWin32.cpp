#include "platform/FileLock.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

namespace platform {

// LockFileEx on the first byte waits for every other handle's lock on it,
// whichever process holds it; closing the handle releases it.
std::unique_ptr<FileLock> FileLock::Acquire(const std::filesystem::path& path, std::string* error) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    if (error) *error = "cannot open the lock file " + NarrowText(path.native()) + ": " + SystemMessage(code);
    return nullptr;
  }
  OVERLAPPED at{};
  if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) {
    const DWORD code = ::GetLastError();
    if (error) *error = "cannot lock " + NarrowText(path.native()) + ": " + SystemMessage(code);
    ::CloseHandle(file);
    return nullptr;
  }
  return std::unique_ptr<FileLock>(new FileLock(file));
}

FileLock::~FileLock() { ::CloseHandle(static_cast<HANDLE>(handle_)); }

}  // namespace platform
