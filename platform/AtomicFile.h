// Whole-file replacement that a crash can never leave half written: the text
// goes to a temporary file beside the target, under a name no other file
// has, which is then renamed over it.
//
// The target is the file a path names: a symbolic link is followed to its
// file (the link stays a link), and a path that exists but is not a regular
// file (a folder, a FIFO, a device) is refused rather than replaced.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// The file a write to `path` replaces, symbolic links followed; empty with a
// one-line reason in *error when the path exists and is not a regular file
// (or a link to one).
std::filesystem::path OutputTarget(const std::filesystem::path& path, std::string* error);

// One file written to a temporary beside its target and put in place by
// Commit; the temporary is removed unless committed. Several of them make an
// all-or-nothing set of outputs: write them all, then commit them all.
class StagedFile {
 public:
  explicit StagedFile(std::filesystem::path path);
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Writes the whole text to a new temporary; false with a reason naming the
  // file in *error.
  bool Write(std::string_view contents, std::string* error);
  // Renames the written temporary over the target.
  bool Commit(std::string* error);
  const std::filesystem::path& path() const { return path_; }
  // The file Commit replaces (links followed); empty until written.
  const std::filesystem::path& target() const { return target_; }

 private:
  void Discard();
  std::filesystem::path path_;
  std::filesystem::path target_;
  std::filesystem::path temporary_;
};

// Write and Commit of one StagedFile. False with a one-line reason naming the
// file in *error (when given).
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view contents, std::string* error);
// False with a reason when the file is missing or unreadable.
bool ReadWholeFile(const std::filesystem::path& path, std::string* contents, std::string* error);

}  // namespace platform
