#include "host/quorvex/FileSnapshot.h"

#include <string_view>

#include "host/quorvex/UserActions.h"
#include "platform/AtomicFile.h"

namespace quorvex::cli {
namespace {

// 64-bit FNV-1a: any change of the bytes changes it but for a chance of 2^-64.
uint64_t Hash(std::string_view bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

}  // namespace

void FileSnapshot::Take(const std::string& path) {
  std::string bytes;
  std::string error;
  if (!platform::ReadWholeFile(path, &bytes, &error)) throw InputError(error);
  path_ = path;
  size_ = bytes.size();
  hash_ = Hash(bytes);
}

std::optional<std::string> FileSnapshot::Unchanged(std::string* error) const {
  std::string bytes;
  std::string why;
  if (!platform::ReadWholeFile(path_, &bytes, &why) || bytes.size() != size_ || Hash(bytes) != hash_) {
    if (error) *error = path_ + " changed on disk after it was read; nothing written";
    return std::nullopt;
  }
  return bytes;
}

}  // namespace quorvex::cli
