#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/FileLock.h"

namespace platform {

// flock belongs to the open file, not the process: two threads that each
// open the file exclude each other as two processes do.
std::unique_ptr<FileLock> FileLock::Acquire(const std::filesystem::path& path, std::string* error) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (error) *error = "cannot open the lock file " + path.string() + ": " + std::strerror(errno);
    return nullptr;
  }
  int locked = 0;
  do {
    locked = ::flock(fd, LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    if (error) *error = "cannot lock " + path.string() + ": " + std::strerror(errno);
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<FileLock>(new FileLock(reinterpret_cast<void*>(static_cast<intptr_t>(fd))));
}

FileLock::~FileLock() { ::close(static_cast<int>(reinterpret_cast<intptr_t>(handle_))); }

}  // namespace platform
