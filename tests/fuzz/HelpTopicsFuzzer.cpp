// Feeds arbitrary text to the help topic tables. Every name the text gives
// is found, whatever its letter case, with the first entry of that name:
// its context number, or its redirect with the text after the first comma.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "platform/Locale.h"
#include "plugin/RTL/HelpTopics.h"

namespace {

struct IgnoringCase {
  bool operator()(std::string_view a, std::string_view b) const {
    return platform::CompareTextIgnoreCase(a, b) < 0;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  strativue::THelpTopicTables tables;
  tables.Load(text);
  // The first value given for each name, as written after its "=".
  std::map<std::string_view, std::string_view, IgnoringCase> first;
  std::size_t entries = 0;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (line.ends_with('\r')) line.remove_suffix(1);
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    ++entries;
    first.try_emplace(line.substr(0, equals), line.substr(equals + 1));
  }
  if (tables.Size() != entries) std::abort();
  for (const auto& [name, value] : first) {
    const auto found = tables.Find(name);
    if (!found) std::abort();
    if (tables.Find(platform::UpperCaseText(name)) != found ||
        tables.Find(platform::LowerCaseText(name)) != found)
      std::abort();
    const auto comma = value.find(',');
    if (comma != std::string_view::npos) {
      const auto index = static_cast<std::size_t>(~*found);
      if (*found >= 0 || index >= tables.Redirects().size()) std::abort();
      if (tables.Redirects()[index] != value.substr(comma + 1)) std::abort();
    } else if (*found < 0) {
      std::abort();  // a context number read as a redirect
    }
  }
  return 0;
}
