// The host's own settings, read from a file under the machine root:
//   C:\Users\<user>\AppData\Roaming\Quorvex\Host.ini
//
//   [Preferences]  UseLuna=0  HideFloatingPanels=0  UseExternalWebBrowser=0
//                  IntegratedHelpSystem=0  UseSystemLocaleLanguage=0
//                  UseLocalizedDialogs=0          (integers; non-zero is true)
//   [Font]         Name=Tahoma  Size=8  Style=0  Colour=0  Charset=1
//   [LocaleFont]   Name=MS UI Gothic  Charset=128  (what ClientAPI_UpdateFont
//                  puts into the font descriptions it is offered)
//   [HelpRedirects] PCB=Brelix.dll  (the module providing the help topics of
//                  a server: IClient slot 47)
//   [Shortcuts]    Handled=112,113  (virtual key codes the host's shortcut
//                  handling reports as handled, whatever the modifiers)
//
// A missing file or key gives the default (every preference false, no font).
// A value that is not an integer gives the default too, and is reported by
// SettingsProblem(). The file is read afresh at every query.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvex {

// The Windows path of the settings file for the machine's user.
std::string HostSettingsPath();
// The host's per-user preference folder (C:\Users\<user>\AppData\Roaming\Quorvex).
std::string HostPreferenceFolder();

bool GetPreference(const std::string& name, bool defaultValue = false);
// Stores a preference as -1 or 0; false when the file cannot be written.
bool SetPreference(const std::string& name, bool value);

struct GuiFont {
  std::string name;
  int32_t size = 8;
  uint8_t style = 0;
  int32_t colour = 0;
  uint8_t charset = 1;
};
// The font the settings give; none without a non-empty [Font] Name.
std::optional<GuiFont> GetGuiFont();

// The face and character set ClientAPI_UpdateFont gives fonts; none without
// a non-empty [LocaleFont] Name.
struct LocaleFont {
  std::string name;
  uint8_t charset = 1;
};
std::optional<LocaleFont> GetLocaleFont();

// The module file named for a server in [HelpRedirects]; empty when none.
std::string GetHelpRedirectModule(const std::string& server);

// The key codes of [Shortcuts] Handled; entries that are not numbers are
// skipped.
std::vector<int32_t> GetHandledShortcutKeys();

// The first problem in the settings file ("<path>: [Section] Key: ..."),
// empty when there is none.
std::string SettingsProblem();

}  // namespace quorvex
