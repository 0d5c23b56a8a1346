#include <map>
#include <mutex>

#include "platform/ProcessShared.h"

namespace platform {
namespace {

std::mutex mutex;

std::map<std::string, std::string>& Settings() {
  static std::map<std::string, std::string> settings;
  return settings;
}

}  // namespace

void SetProcessShared(const std::string& name, const std::string& value) {
  std::lock_guard lock(mutex);
  if (value.empty())
    Settings().erase(name);
  else
    Settings()[name] = value;
}

std::string ProcessShared(const std::string& name) {
  std::lock_guard lock(mutex);
  auto it = Settings().find(name);
  return it == Settings().end() ? std::string() : it->second;
}

}  // namespace platform
