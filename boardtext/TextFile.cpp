#include "boardtext/TextFile.h"

#include <array>
#include <filesystem>
#include <fstream>

namespace boardtext {

std::optional<std::string> ReadTextFile(const std::string& path, const std::string& kind, std::string* error,
                                        FileSize rule) {
  auto fail = [&](const std::string& reason) {
    if (error) *error = path + ": " + reason;
    return std::nullopt;
  };
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return fail("is a folder, not a file");
  std::ifstream in(path, std::ios::binary);
  if (!in) return fail("cannot be read");
  std::string text;
  const auto size = std::filesystem::is_regular_file(path, ec) ? std::filesystem::file_size(path, ec) : 0;
  // A regular file's size is what it holds; an endless device has none.
  const std::size_t limit = rule == FileSize::AsOnDisk && !ec && size > kMaxTextFileSize
                                ? static_cast<std::size_t>(size)
                                : kMaxTextFileSize;
  if (!ec && size > 0 && size <= limit) {
    // Read in place; a file that grew meanwhile is read on in chunks below.
    text.resize(static_cast<std::size_t>(size));
    in.read(text.data(), static_cast<std::streamsize>(size));
    text.resize(static_cast<std::size_t>(in.gcount()));
  }
  std::array<char, 65536> chunk;
  while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
    text.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    if (text.size() > limit)
      return fail(limit == kMaxTextFileSize ? "is larger than 64 MiB; not " + kind
                                            : "grew while it was read");
  }
  if (in.bad()) return fail("cannot be read");
  return text;
}

}  // namespace boardtext
