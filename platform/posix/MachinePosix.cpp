// The machine on POSIX systems: everything under the machine root, facts
// from its machine.ini.
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "platform/AtomicFile.h"
#include "platform/IniFile.h"
#include "platform/Locale.h"
#include "platform/Machine.h"
#include "platform/ProcessShared.h"
#include "platform/Safely.h"
#include "platform/WindowsPath.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

// The root chosen by SetMachineRoot, which every copy of the platform in the
// process must see.
constexpr const char* kExplicitRoot = "MachineRoot";

std::string DefaultRoot() {
  if (const char* env = std::getenv("QUORVEX_MACHINE"); env && *env) return env;
  if (const char* home = std::getenv("HOME"); home && *home)
    return (fs::path(home) / ".local" / "state" / "quorvex" / "machine").string();
  return (fs::temp_directory_path() / "quorvex-machine").string();
}

// The entry of `folder` named `name` without regard to case; empty when none.
std::string FindEntry(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  if (fs::exists(folder / name, ec)) return name;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (CompareTextIgnoreCase(entry, name) == 0) return entry;
  }
  return {};
}

bool ParseInt(std::string_view text, int64_t* value) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value, base);
  return ec == std::errc() && end == text.data() + text.size();
}

bool ParseRect(std::string_view text, Rect* rect) {
  int64_t parts[4];
  for (int i = 0; i < 4; ++i) {
    const size_t comma = i < 3 ? text.find(',') : text.size();
    if (comma == std::string_view::npos) return false;
    std::string_view part = text.substr(0, comma);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    if (!ParseInt(part, &parts[i]) || parts[i] < INT32_MIN || parts[i] > INT32_MAX) return false;
    text.remove_prefix(i < 3 ? comma + 1 : comma);
  }
  *rect = {static_cast<int32_t>(parts[0]), static_cast<int32_t>(parts[1]), static_cast<int32_t>(parts[2]),
           static_cast<int32_t>(parts[3])};
  return !rect->empty();
}

struct Facts {
  OsVersion version;
  uint32_t systemLocale = 1033;
  uint32_t userLocale = 1033;
  std::string userName = "user";
  std::string hostProgram = "C:\\Program Files\\Quorvex\\Quorvex.exe";
  std::vector<MonitorInfo> monitors;
  std::string problem;
};

Facts ReadFacts(const fs::path& file) {
  Facts facts;
  std::string text;
  std::string error;
  std::error_code ec;
  auto note = [&](const std::string& what) {
    if (facts.problem.empty()) facts.problem = file.string() + ": " + what;
  };
  if (fs::exists(file, ec) && !ReadWholeFile(file, &text, &error)) note(error);
  const IniText ini(text);

  if (auto version = ini.Get("Windows", "Version")) {
    const size_t dot = version->find('.');
    int64_t major = 0, minor = 0;
    const bool ok =
        ParseInt(std::string_view(*version).substr(0, dot), &major) &&
        (dot == std::string::npos || ParseInt(std::string_view(*version).substr(dot + 1), &minor)) &&
        major >= 0 && minor >= 0 && major <= 0xFFFF && minor <= 0xFFFF;
    if (ok)
      facts.version = {static_cast<uint32_t>(major), static_cast<uint32_t>(minor)};
    else
      note("[Windows] Version: expected major.minor, got \"" + *version + "\"");
  }
  auto readLocale = [&](const char* key, uint32_t* out) {
    auto value = ini.Get("Locale", key);
    if (!value) return false;
    int64_t id = 0;
    if (ParseInt(*value, &id) && id > 0 && id <= 0xFFFF) {
      *out = static_cast<uint32_t>(id);
      return true;
    }
    note(std::string("[Locale] ") + key + ": expected a locale id such as 1033, got \"" + *value + "\"");
    return false;
  };
  readLocale("System", &facts.systemLocale);
  facts.userLocale = facts.systemLocale;
  readLocale("User", &facts.userLocale);

  if (auto name = ini.Get("User", "Name")) {
    if (!name->empty() && name->find_first_of("\\/<>:\"|?*") == std::string::npos)
      facts.userName = *name;
    else
      note("[User] Name: not a valid user name: \"" + *name + "\"");
  }
  if (auto program = ini.Get("Host", "Program")) {
    if (program->size() > 3 && (*program)[1] == ':' && (*program)[2] == '\\')
      facts.hostProgram = *program;
    else
      note("[Host] Program: expected a full Windows path such as C:\\Folder\\Program.exe, got \"" + *program +
           "\"");
  }

  for (int n = 1;; ++n) {
    const std::string section = "Monitor" + std::to_string(n);
    if (!ini.HasSection(section)) break;
    MonitorInfo monitor;
    const std::string bounds = ini.GetString(section, "Bounds", "");
    if (!ParseRect(bounds, &monitor.bounds)) {
      note("[" + section +
           "] Bounds: expected left,top,right,bottom with right > left and bottom > top, got \"" + bounds +
           "\"");
      continue;
    }
    monitor.workArea = monitor.bounds;
    if (auto work = ini.Get(section, "WorkArea"); work && !ParseRect(*work, &monitor.workArea)) {
      note("[" + section + "] WorkArea: expected left,top,right,bottom, got \"" + *work + "\"");
      monitor.workArea = monitor.bounds;
    }
    monitor.primary = facts.monitors.empty();
    facts.monitors.push_back(monitor);
  }
  if (facts.monitors.empty()) facts.monitors.push_back({{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, true});
  return facts;
}

// machine.ini read afresh when its path, time or size changed.
Facts CurrentFacts() {
  static std::mutex mutex;
  static std::string cachedPath;
  static fs::file_time_type cachedTime;
  static uintmax_t cachedSize = 0;
  static bool cachedExists = false;
  static Facts cached;
  static bool loaded = false;

  const fs::path file = fs::path(MachineRoot()) / "machine.ini";
  std::error_code ec;
  const bool exists = fs::is_regular_file(file, ec);
  const auto time = exists ? fs::last_write_time(file, ec) : fs::file_time_type();
  const uintmax_t size = exists ? fs::file_size(file, ec) : 0;
  std::lock_guard lock(mutex);
  if (!loaded || cachedPath != file.string() || cachedExists != exists || cachedTime != time ||
      cachedSize != size) {
    cached = ReadFacts(file);
    cachedPath = file.string();
    cachedExists = exists;
    cachedTime = time;
    cachedSize = size;
    loaded = true;
  }
  return cached;
}

}  // namespace

void SetMachineRoot(const std::string& nativePath) { SetProcessShared(kExplicitRoot, nativePath); }

std::string MachineRoot() {
  return Safely<std::string>({}, [] {
    std::string root = ProcessShared(kExplicitRoot);
    if (root.empty()) root = DefaultRoot();
    std::error_code ec;
    fs::path path = fs::absolute(root, ec);
    if (ec) path = root;
    fs::create_directories(path / "C", ec);
    return path.string();
  });
}

std::string MapPath(std::string_view windowsPath) {
  return Safely<std::string>({}, [&]() -> std::string {
    WindowsPathParts split;
    if (!SplitWindowsPath(windowsPath, &split)) return {};
    std::vector<std::string> parts{std::string(1, split.drive)};
    parts.insert(parts.end(), split.names.begin(), split.names.end());
    fs::path current = MachineRoot();
    if (current.empty()) return {};
    bool matching = true;
    for (const std::string& part : parts) {
      if (matching) {
        const std::string found = FindEntry(current, part);
        if (!found.empty()) {
          current /= found;
          continue;
        }
        matching = false;
      }
      current /= part;
    }
    return current.string();
  });
}

OsVersion GetOsVersion() {
  return Safely(OsVersion{}, [] { return CurrentFacts().version; });
}

uint32_t GetSystemDefaultLocaleId() {
  return Safely(1033u, [] { return CurrentFacts().systemLocale; });
}

uint32_t GetUserDefaultLocaleId() {
  return Safely(1033u, [] { return CurrentFacts().userLocale; });
}

std::string GetUserName() {
  return Safely<std::string>("user", [] { return CurrentFacts().userName; });
}

std::string GetHostProgramPath() {
  return Safely<std::string>("C:\\Program Files\\Quorvex\\Quorvex.exe",
                             [] { return CurrentFacts().hostProgram; });
}

std::vector<MonitorInfo> GetMonitors() {
  return Safely<std::vector<MonitorInfo>>({{{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, true}},
                                          [] { return CurrentFacts().monitors; });
}

std::string MachineFactsProblem() {
  return Safely<std::string>({}, [] { return CurrentFacts().problem; });
}

std::string GetWindowsDirectory() { return "C:\\Windows"; }

std::string GetSpecialFolder(int csidl) {
  return Safely<std::string>({}, [&]() -> std::string {
    const std::string profile = "C:\\Users\\" + GetUserName();
    switch (csidl) {
      case CSIDL_APPDATA:
        return profile + "\\AppData\\Roaming";
      case CSIDL_LOCAL_APPDATA:
        return profile + "\\AppData\\Local";
      case CSIDL_PERSONAL:
        return profile + "\\Documents";
      case CSIDL_PROGRAM_FILES:
        return "C:\\Program Files";
      default:
        return {};
    }
  });
}

}  // namespace platform
