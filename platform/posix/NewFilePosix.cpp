#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/NewFile.h"

namespace platform {
namespace {

bool WriteAll(int fd, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t written = ::write(fd, contents.data(), contents.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    contents.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

NewFileResult WriteNewFile(const std::filesystem::path& path, std::string_view contents,
                           const std::filesystem::path& like) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return errno == EEXIST ? NewFileResult::Exists : NewFileResult::Failed;
  struct stat existing {};
  if (::stat(like.c_str(), &existing) == 0) ::fchmod(fd, existing.st_mode & 07777);
  const bool written = WriteAll(fd, contents);
  const bool closed = ::close(fd) == 0;
  if (written && closed) return NewFileResult::Written;
  ::unlink(path.c_str());
  return NewFileResult::Failed;
}

}  // namespace platform
