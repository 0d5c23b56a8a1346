// Where the host keeps its preferences, resources and help files.
//
// The preference location is one folder name (with a leading backslash)
// shared by the registry path and the per-user folder. It is resolved once,
// when the module loads (ResolvePreferenceLocation), from the first of:
//   HKEY_CURRENT_USER\Software\Verdane2004\Preference Location, value
//   "Application"; the INI file <system folder>PrefFolder.ini, section
//   "Preference Location", key "Application"; the default "\Verdane2004".
// Folders are Windows paths; those named "...Folder" end in a backslash,
// except GetUserPreferenceFolder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace strativue {

// "\" + the configured location, "\Verdane2004" when nothing is configured.
// Resolved on first call when the load step did not run.
std::string GetPreferenceLocation();
// "Software" + GetPreferenceLocation() + "\Quorvex", relative to
// HKEY_CURRENT_USER.
std::string GetPreferenceRegistryPath();
// The per-user application-data folder + GetPreferenceLocation(), without a
// trailing backslash; created (one level) when missing.
std::string GetUserPreferenceFolder();

// The folder of the host's executable, upper-cased, with a trailing
// backslash.
std::string GetHostExecutableFolder();
// Host executable folder + "System\".
std::string GetSystemFolder();
// GetSystemFolder() + "Resources\".
std::string GetResourcesFolder();
// With the host's "use the system locale language" preference:
// GetResourcesFolder() + the language id + "\", or, when that folder is
// missing, GetResourcesFolder() + the system locale id with bits 10 to 15
// cleared (its primary language) + "\". Without it: GetSystemFolder().
std::string GetLanguageResourcesFolder();
// GetLanguageResourcesFolder() + "Help\".
std::string GetLocalizedHelpFolder();
// Host executable folder + "Help\".
std::string GetApplicationHelpFolder();

// The system default locale id, or the target of the first entry of the
// language mapping table (GetResourcesFolder() + "LanguageMappings.dat",
// lines "source=target", read once) whose source is that id.
int32_t GetLanguageId();

// A name with a folder part unchanged; otherwise the localized help folder's
// file when it exists, else the application help folder's (not tested).
std::string ResolveHelpFile(std::string_view fileName);

// Load step: resolves and caches the preference location.
void ResolvePreferenceLocation();
// Unload step: forgets the cached location and the language mapping table;
// the next use resolves them again.
void FreePreferencePaths();

}  // namespace strativue
