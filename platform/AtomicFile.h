// Whole-file replacement that a crash can never leave half written: the text
// goes to a temporary file beside the target, which is then renamed over it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// False with a one-line reason naming the file in *error (when given).
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view contents, std::string* error);
// False with a reason when the file is missing or unreadable.
bool ReadWholeFile(const std::filesystem::path& path, std::string* contents, std::string* error);

}  // namespace platform
