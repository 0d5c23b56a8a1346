// A file as the run read it, so that replacing it (--in-place) can first make
// sure that nothing else changed it meanwhile.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorvex::cli {

// Where --in-place keeps the file it replaces, named as KiCad names its own backups.
inline std::string InPlaceBackup(const std::string& path) { return path + "-bak"; }

class FileSnapshot {
 public:
  // Notes the file's length and a hash of its bytes; InputError when it
  // cannot be read.
  void Take(const std::string& path);
  // The file's bytes when they are still the ones noted; nil with a one-line
  // reason in *error otherwise.
  std::optional<std::string> Unchanged(std::string* error) const;

 private:
  std::string path_;
  std::size_t size_ = 0;
  uint64_t hash_ = 0;
};

}  // namespace quorvex::cli
