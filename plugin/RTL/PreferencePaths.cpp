#include "plugin/RTL/PreferencePaths.h"

#include <charconv>
#include <optional>
#include <utility>
#include <vector>

#include "platform/IniFile.h"
#include "platform/Locale.h"
#include "platform/Machine.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "plugin/RTL/ClientApi.h"

namespace strativue {
namespace {

constexpr std::string_view kDefaultLocation = "Verdane2004";
constexpr std::string_view kLocationSection = "Preference Location";
constexpr std::string_view kLocationKey = "Application";
// A mapping file holds a few dozen lines; anything far larger is not one, and
// reading it whole would cost memory for nothing.
constexpr std::size_t kMaxMappingFileSize = 1 << 20;

struct LocationCache {
  bool resolved = false;
  std::string text;
};

struct LanguageTable {
  bool attempted = false;
  std::vector<std::pair<int32_t, int32_t>> entries;  // (source, target), file order
};
// One function-local object: the load step runs during the module's static
// initialisation, possibly before this file's globals would be constructed,
// and the unload step runs during static destruction, which must not come
// after this object's own.
struct PathCaches {
  LocationCache location;
  LanguageTable languages;
};
PathCaches& Caches() {
  static PathCaches caches;
  return caches;
}
LocationCache& Location() { return Caches().location; }
LanguageTable& LanguageState() { return Caches().languages; }

// Closes a registry key when the scope ends.
class RegKey {
 public:
  RegKey() = default;
  ~RegKey() {
    if (key_) platform::RegCloseKey(key_);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  bool Open(platform::HKEY parent, std::string_view path) {
    return platform::RegOpenKeyEx(parent, path, 0, platform::KEY_READ, &key_) == platform::ERROR_SUCCESS;
  }
  platform::HKEY get() const { return key_; }

 private:
  platform::HKEY key_ = 0;
};

// The value of "Application" in the registry, as text; a value of another
// kind reads as the default name.
std::optional<std::string> LocationFromRegistry() {
  RegKey product;
  if (!product.Open(platform::HKEY_CURRENT_USER, "Software\\Verdane2004")) return std::nullopt;
  RegKey section;
  if (!section.Open(product.get(), kLocationSection)) return std::nullopt;
  platform::RegValue value;
  if (platform::RegQueryValueEx(section.get(), kLocationKey, &value) != platform::ERROR_SUCCESS)
    return std::nullopt;
  if (value.type == platform::REG_SZ) return value.text;
  if (value.type == platform::REG_DWORD) return std::to_string(value.dword);
  return std::string(kDefaultLocation);
}

std::optional<std::string> LocationFromIniFile() {
  platform::IniText ini;
  if (!platform::LoadIniFile(GetSystemFolder() + "PrefFolder.ini", &ini)) return std::nullopt;
  return ini.Get(kLocationSection, kLocationKey);
}

std::string ResolveLocation() {
  if (auto name = LocationFromRegistry()) return "\\" + *name;
  if (auto name = LocationFromIniFile()) return "\\" + *name;
  return "\\" + std::string(kDefaultLocation);
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

std::optional<int32_t> ParseDecimal(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Reads the mapping table once; a file that cannot be read leaves it empty.
const LanguageTable& Languages() {
  LanguageTable& table = LanguageState();
  if (table.attempted) return table;
  table.attempted = true;
  const std::string file = GetResourcesFolder() + "LanguageMappings.dat";
  if (!platform::FileExists(file)) return table;
  std::string text;
  if (!platform::ReadFile(file, &text) || text.size() > kMaxMappingFileSize) return table;
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const auto source = ParseDecimal(line.substr(0, equals));
    const auto target = ParseDecimal(line.substr(equals + 1));
    if (source && target) table.entries.emplace_back(*source, *target);
  }
  return table;
}

bool HasFolderPart(std::string_view name) { return name.find_first_of("\\/:") != std::string_view::npos; }

}  // namespace

std::string GetPreferenceLocation() {
  LocationCache& cache = Location();
  if (!cache.resolved) {
    cache.text = ResolveLocation();
    cache.resolved = true;
  }
  return cache.text;
}

std::string GetPreferenceRegistryPath() { return "Software" + GetPreferenceLocation() + "\\Quorvex"; }

std::string GetUserPreferenceFolder() {
  const std::string folder = platform::GetShellFolderPath(platform::CSIDL_APPDATA) + GetPreferenceLocation();
  if (!platform::DirectoryExists(folder)) platform::CreateDirectory(folder);
  return folder;
}

std::string GetHostExecutableFolder() { return platform::UpperCaseText(platform::GetHostProgramFolder()); }

std::string GetSystemFolder() { return GetHostExecutableFolder() + "System\\"; }

std::string GetResourcesFolder() { return GetSystemFolder() + "Resources\\"; }

std::string GetLanguageResourcesFolder() {
  if (!ClientAPI::GetUseSystemLocaleLanguage()) return GetSystemFolder();
  const std::string resources = GetResourcesFolder();
  const std::string localized = resources + std::to_string(GetLanguageId()) + "\\";
  if (platform::DirectoryExists(localized)) return localized;
  return resources + std::to_string(platform::GetSystemDefaultLocaleId() & ~0xFC00u) + "\\";
}

std::string GetLocalizedHelpFolder() { return GetLanguageResourcesFolder() + "Help\\"; }

std::string GetApplicationHelpFolder() { return GetHostExecutableFolder() + "Help\\"; }

int32_t GetLanguageId() {
  const auto system = static_cast<int32_t>(platform::GetSystemDefaultLocaleId());
  for (const auto& [source, target] : Languages().entries)
    if (source == system) return target;
  return system;
}

std::string ResolveHelpFile(std::string_view fileName) {
  if (HasFolderPart(fileName)) return std::string(fileName);
  const std::string localized = GetLocalizedHelpFolder() + std::string(fileName);
  if (platform::FileExists(localized)) return localized;
  return GetApplicationHelpFolder() + std::string(fileName);
}

void ResolvePreferenceLocation() {
  Location() = {};
  try {
    GetPreferenceLocation();
  } catch (...) {
    // Runs while the module loads, where nothing may escape; the first later
    // use tries again.
    Location() = {};
  }
}

void FreePreferencePaths() {
  Location() = {};
  LanguageState() = {};
}

}  // namespace strativue
