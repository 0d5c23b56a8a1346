#include "platform/AtomicFile.h"

#include <atomic>
#include <fstream>
#include <sstream>

namespace platform {

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view contents, std::string* error) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path temporary = path;
  temporary += ".tmp" + std::to_string(counter.fetch_add(1));
  try {
    {
      std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
      if (!out) {
        if (error) *error = "cannot write " + path.string();
        return false;
      }
      out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
      out.close();
      if (!out) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        if (error) *error = "cannot write " + path.string();
        return false;
      }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
      std::filesystem::remove(temporary, ec);
      if (error) *error = "cannot replace " + path.string();
      return false;
    }
    return true;
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    if (error) *error = "cannot write " + path.string();
    return false;
  }
}

bool ReadWholeFile(const std::filesystem::path& path, std::string* contents, std::string* error) {
  try {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
      if (error) *error = "no such file: " + path.string();
      return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in && !in.eof()) {
      if (error) *error = "cannot read " + path.string();
      return false;
    }
    *contents = std::move(text).str();
    return true;
  } catch (...) {
    if (error) *error = "cannot read " + path.string();
    return false;
  }
}

}  // namespace platform
