// Reading a whole text file that a user names (a board file, a script):
// bounded, so that a huge file or an endless device is refused rather than
// read until memory runs out.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace boardtext {

// No board file or script is larger, unless read with FileSize::AsOnDisk.
inline constexpr std::size_t kMaxTextFileSize = std::size_t{64} << 20;

enum class FileSize {
  Bounded,   // at most kMaxTextFileSize bytes
  AsOnDisk,  // a regular file whatever its size; a device or pipe as Bounded
};

// The file's text; nil with "<path>: reason" in *error when it is missing,
// a folder, unreadable or larger than `size` allows. `kind` names what the
// file should be in that reason ("a board file").
std::optional<std::string> ReadTextFile(const std::string& path, const std::string& kind, std::string* error,
                                        FileSize size = FileSize::Bounded);

}  // namespace boardtext
