#include "host/HostSettings.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "platform/IniFile.h"
#include "platform/Locale.h"
#include "platform/Machine.h"

namespace quorvex {
namespace {

constexpr const char* kPreferences = "Preferences";
constexpr const char* kFont = "Font";

platform::IniText LoadSettings(std::string* problem) {
  platform::IniText ini;
  std::string error;
  if (!platform::LoadIniFile(HostSettingsPath(), &ini, &error) && problem) *problem = error;
  return ini;
}

// The rule IniText::GetInteger applies: an optional sign and decimal digits
// within 32-bit range.
bool IsInteger(const std::string& text) {
  const char* begin = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
  const char* end = text.data() + text.size();
  int32_t value = 0;
  const auto [at, error] = std::from_chars(begin, end, value);
  return begin != end && error == std::errc() && at == end;
}

}  // namespace

std::string HostPreferenceFolder() {
  return platform::GetSpecialFolder(platform::CSIDL_APPDATA) + "\\Quorvex";
}

std::string HostSettingsPath() { return HostPreferenceFolder() + "\\Host.ini"; }

bool GetPreference(const std::string& name, bool defaultValue) {
  const platform::IniText ini = LoadSettings(nullptr);
  return ini.GetInteger(kPreferences, name, defaultValue ? -1 : 0) != 0;
}

bool SetPreference(const std::string& name, bool value) {
  if (!platform::CreateDirectories(HostPreferenceFolder())) return false;
  return platform::WritePrivateProfileString(kPreferences, name, value ? "-1" : "0", HostSettingsPath());
}

std::optional<GuiFont> GetGuiFont() {
  const platform::IniText ini = LoadSettings(nullptr);
  GuiFont font;
  font.name = ini.GetString(kFont, "Name", "");
  if (font.name.empty()) return std::nullopt;
  font.size = ini.GetInteger(kFont, "Size", font.size);
  font.style = static_cast<uint8_t>(ini.GetInteger(kFont, "Style", font.style));
  font.colour = ini.GetInteger(kFont, "Colour", font.colour);
  font.charset = static_cast<uint8_t>(ini.GetInteger(kFont, "Charset", font.charset));
  return font;
}

std::optional<LocaleFont> GetLocaleFont() {
  const platform::IniText ini = LoadSettings(nullptr);
  LocaleFont font;
  font.name = ini.GetString("LocaleFont", "Name", "");
  if (font.name.empty()) return std::nullopt;
  font.charset = static_cast<uint8_t>(ini.GetInteger("LocaleFont", "Charset", font.charset));
  return font;
}

std::string GetHelpRedirectModule(const std::string& server) {
  return LoadSettings(nullptr).GetString("HelpRedirects", server, "");
}

std::vector<int32_t> GetHandledShortcutKeys() {
  const std::string list = LoadSettings(nullptr).GetString("Shortcuts", "Handled", "");
  std::vector<int32_t> keys;
  std::size_t start = 0;
  while (start < list.size()) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    std::string_view item(list.data() + start, comma - start);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
    int32_t key = 0;
    const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), key);
    if (!item.empty() && error == std::errc() && end == item.data() + item.size()) keys.push_back(key);
    start = comma + 1;
  }
  return keys;
}

std::string SettingsProblem() {
  std::string problem;
  const platform::IniText ini = LoadSettings(&problem);
  if (!problem.empty()) return problem;
  for (const char* section : {kPreferences, kFont}) {
    for (const std::string& key : ini.Keys(section)) {
      if (std::string(section) == kFont && platform::CompareTextIgnoreCase(key, "Name") == 0) continue;
      const std::string value = ini.GetString(section, key, "");
      if (!IsInteger(value))
        return HostSettingsPath() + ": [" + section + "] " + key + ": \"" + value + "\" is not an integer";
    }
  }
  return {};
}

}  // namespace quorvex
