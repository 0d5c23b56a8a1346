// Feeds arbitrary text to the INI reader. The text must write back byte for
// byte; every value listed must read back; setting one value, and removing
// it again, must leave every other value as it was, in a text that writes
// back itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

#include "platform/IniFile.h"
#include "platform/Locale.h"

namespace {

using Values = std::map<std::pair<std::string, std::string>, std::string>;

const std::string kSection = "Fuzz Section", kKey = "fuzz.key";

Values AllValues(const platform::IniText& ini) {
  Values values;
  for (const std::string& section : ini.Sections())
    for (const std::string& key : ini.Keys(section)) {
      const auto value = ini.Get(section, key);
      if (!value) std::abort();  // listed but not found
      values[{section, key}] = *value;
    }
  return values;
}

// The text of `ini` read afresh: it writes back itself and holds every value
// of `before` but the one changed.
platform::IniText Reread(const platform::IniText& ini, const Values& before) {
  const std::string written = ini.ToString();
  platform::IniText reread(written);
  if (reread.ToString() != written) std::abort();
  const Values after = AllValues(reread);
  for (const auto& [name, old] : before) {
    if (platform::CompareTextIgnoreCase(name.first, kSection) == 0 &&
        platform::CompareTextIgnoreCase(name.second, kKey) == 0)
      continue;
    const auto it = after.find(name);
    if (it == after.end() || it->second != old) std::abort();  // another value lost or changed
  }
  return reread;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  platform::IniText ini(text);
  if (ini.ToString() != text) std::abort();
  const Values before = AllValues(ini);
  const bool sectionThere = ini.HasSection(kSection);

  // The value set is the text's own first line, so that the fuzzer steers it.
  const std::string value = text.substr(0, text.find_first_of("\r\n"));
  if (!ini.Set(kSection, kKey, value)) std::abort();  // a value without line breaks fits a line
  platform::IniText reread = Reread(ini, before);
  if (reread.Get(kSection, kKey) != value) std::abort();
  if (!reread.RemoveKey(kSection, kKey)) std::abort();
  Reread(reread, before);
  if (!sectionThere) {
    if (!reread.RemoveSection(kSection)) std::abort();
    Reread(reread, before);
  }
  return 0;
}
