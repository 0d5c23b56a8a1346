#include <algorithm>

#include "platform/NewFile.h"
#include "platform/win32/WindowsApi.h"

namespace platform {

// A new file takes its permissions from its folder, as the file it replaces
// did; there is nothing of `like` to carry over.
NewFileResult WriteNewFile(const std::filesystem::path& path, std::string_view contents,
                           const std::filesystem::path&) {
  HANDLE file =
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? NewFileResult::Exists
                                                                       : NewFileResult::Failed;
  }
  bool written = true;
  while (written && !contents.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size(), 1u << 30));
    DWORD done = 0;
    written = ::WriteFile(file, contents.data(), chunk, &done, nullptr) && done > 0;
    contents.remove_prefix(done);
  }
  const bool closed = ::CloseHandle(file);
  if (written && closed) return NewFileResult::Written;
  ::DeleteFileW(path.c_str());
  return NewFileResult::Failed;
}

}  // namespace platform
