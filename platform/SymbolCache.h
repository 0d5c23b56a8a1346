// The function symbols of a module file, read once per file for the life of
// the process: a stack walk may name many frames of the same module.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

template <typename Symbol, typename Read>
const std::vector<Symbol>& CachedSymbols(const std::string& path, Read&& read) {
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<std::vector<Symbol>>> cache;
  std::lock_guard lock(mutex);
  auto& entry = cache[path];
  if (!entry) entry = std::make_unique<std::vector<Symbol>>(read(path));
  return *entry;
}

}  // namespace platform
