// An exclusive lock that every process of the machine agrees on, held on a
// lock file: what a read-change-write of a shared file needs, so that
// concurrent runs take their turns instead of losing each other's changes.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace platform {

class FileLock {
 public:
  // Waits until the lock on `path` (a native path; the file is created when
  // missing and never removed, since another process may be waiting on it)
  // is this one's. Nil with a one-line reason in *error when the file cannot
  // be opened or locked.
  static std::unique_ptr<FileLock> Acquire(const std::filesystem::path& path, std::string* error);
  // Releases the lock.
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  explicit FileLock(void* handle) : handle_(handle) {}
  void* handle_;  // the system's handle of the open lock file
};

}  // namespace platform
