// The one step of a whole-file replacement that each system does its own
// way: a new file created exclusively under a given name and written whole.
#pragma once

#include <filesystem>
#include <string_view>

namespace platform {

enum class NewFileResult { Written, Exists, Failed };

// Creates `path`, which must not exist yet, and writes `contents` to it; a
// file that exists is left alone (Exists). When `like` exists the new file
// gets its permissions. A file created but not written whole is removed.
NewFileResult WriteNewFile(const std::filesystem::path& path, std::string_view contents,
                           const std::filesystem::path& like);

}  // namespace platform
