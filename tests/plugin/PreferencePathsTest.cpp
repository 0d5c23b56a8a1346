#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "PathsTestSupport.h"
#include "platform/Registry.h"

using namespace strativue;

namespace {

class PreferencePathsTest : public pathstest::PathsTest {
 protected:
  void SetRegistryLocation(std::string_view value) {
    ASSERT_TRUE(platform::WriteString(platform::HKEY_CURRENT_USER,
                                      "Software\\Verdane2004\\Preference Location", "Application", value));
  }
  void SetIniLocation(std::string_view value) {
    WriteFile(SystemFolder() + "PrefFolder.ini",
              "[Preference Location]\r\nApplication=" + std::string(value) + "\r\n");
  }

  // The system folder of the host program, spelt as the file system has it
  // rather than upper-cased.
  static std::string SystemFolder() {
#if defined(_WIN32)
    return HostFolder() + "System\\";
#else
    return "C:\\Program Files\\Quorvex\\System\\";
#endif
  }
  // The per-user application-data folder, as the system names it.
  static std::string RoamingFolder() {
#if defined(_WIN32)
    const char* folder = std::getenv("APPDATA");
    return folder ? folder : "";
#else
    return "C:\\Users\\user\\AppData\\Roaming";
#endif
  }
  // The system locale on this machine: chosen on Linux, the system's own on
  // Windows.
  uint32_t SystemLocale(uint32_t wanted) const {
#if defined(_WIN32)
    (void)wanted;
    return platform::GetSystemDefaultLocaleId();
#else
    std::ofstream(std::filesystem::path(root_) / "machine.ini") << "[Locale]\nSystem=" << wanted << "\n";
    return wanted;
#endif
  }
  // Makes a folder (and its missing parents) that goes away afterwards.
  void MakeFolder(const std::string& windowsPath) {
    machine_.RemoveFolderAfterwards(windowsPath);
    ASSERT_TRUE(platform::CreateDirectories(windowsPath)) << windowsPath;
  }
};

TEST_F(PreferencePathsTest, RegistryValueNamesTheRegistryPathAndTheUserFolder) {
  SetRegistryLocation("MyPrefs");
  SetIniLocation("FromIni");  // the registry comes first
  EXPECT_EQ(GetPreferenceLocation(), "\\MyPrefs");
  EXPECT_EQ(GetPreferenceRegistryPath(), "Software\\MyPrefs\\Quorvex");
  const std::string appData = RoamingFolder();
  ASSERT_FALSE(appData.empty());
  machine_.RemoveFolderAfterwards(appData + "\\MyPrefs");
  EXPECT_EQ(GetUserPreferenceFolder(), appData + "\\MyPrefs");
  EXPECT_TRUE(platform::DirectoryExists(appData + "\\MyPrefs"));
}

TEST_F(PreferencePathsTest, IniFileServesWhenTheRegistryHasNoValue) {
  // The product key alone, without the value, falls through to the file.
  ASSERT_TRUE(platform::WriteString(platform::HKEY_CURRENT_USER, "Software\\Verdane2004", "Other", "x"));
  SetIniLocation("Shared Prefs");
  EXPECT_EQ(GetPreferenceLocation(), "\\Shared Prefs");
  EXPECT_EQ(GetPreferenceRegistryPath(), "Software\\Shared Prefs\\Quorvex");
}

TEST_F(PreferencePathsTest, DefaultWhenNothingIsConfigured) {
  WriteFile(SystemFolder() + "PrefFolder.ini", "[Preference Location]\r\nOther=1\r\n");
  EXPECT_EQ(GetPreferenceLocation(), "\\Verdane2004");
  EXPECT_EQ(GetPreferenceRegistryPath(), "Software\\Verdane2004\\Quorvex");
}

TEST_F(PreferencePathsTest, LocationIsResolvedOnceUntilFreed) {
  SetRegistryLocation("First");
  ResolvePreferenceLocation();
  SetRegistryLocation("Second");
  EXPECT_EQ(GetPreferenceLocation(), "\\First");
  FreePreferencePaths();
  EXPECT_EQ(GetPreferenceLocation(), "\\Second");
}

TEST_F(PreferencePathsTest, FoldersFollowTheHostProgramUpperCased) {
#if defined(_WIN32)
  const std::string host = HostFolder();
#else
  std::ofstream(std::filesystem::path(root_) / "machine.ini") << "[Host]\nProgram=D:\\Eda\\Qv\\Quorvex.exe\n";
  const std::string host = "D:\\EDA\\QV\\";
#endif
  EXPECT_EQ(GetHostExecutableFolder(), host);
  EXPECT_EQ(GetSystemFolder(), host + "System\\");
  EXPECT_EQ(GetResourcesFolder(), host + "System\\Resources\\");
  EXPECT_EQ(GetApplicationHelpFolder(), host + "Help\\");
  // Without the host's system-locale preference the language folder is the
  // system folder.
  EXPECT_EQ(GetLanguageResourcesFolder(), host + "System\\");
  EXPECT_EQ(GetLocalizedHelpFolder(), host + "System\\Help\\");
}

TEST_F(PreferencePathsTest, LanguageMappingPicksTheResourcesFolder) {
  const uint32_t locale = SystemLocale(1031);
  // Two targets other than the locale and each other.
  const uint32_t target = locale == 1033 ? 2057 : 1033;
  const uint32_t later = locale == 3082 ? 1036 : 3082;
  const std::string source = std::to_string(locale);
  SetHostPreference("UseSystemLocaleLanguage", true);
  const std::string resources = HostFolder() + "System\\Resources\\";
  // A line with a non-numeric side is skipped, so the second line is the
  // first entry for that locale; blanks and CR line ends are allowed.
  WriteFile(resources + "LanguageMappings.dat", source + "=German\r\n " + source + " = " +
                                                    std::to_string(target) + " \r\n" + source + "=" +
                                                    std::to_string(later) + "\r\nnoise\r\n");
  EXPECT_EQ(GetLanguageId(), static_cast<int32_t>(target));
  // The mapped folder is missing: the primary language of the locale (bits
  // 10 to 15 cleared; 7 for 1031) is used instead.
  const uint32_t primary = locale % 1024;
  EXPECT_EQ(GetLanguageResourcesFolder(), resources + std::to_string(primary) + "\\");
  MakeFolder(resources + std::to_string(target));
  EXPECT_EQ(GetLanguageResourcesFolder(), resources + std::to_string(target) + "\\");
  EXPECT_EQ(GetLocalizedHelpFolder(), resources + std::to_string(target) + "\\Help\\");
}

TEST_F(PreferencePathsTest, LanguageTableIsReadOnlyOnce) {
  const uint32_t locale = SystemLocale(1031);
  const uint32_t target = locale == 1033 ? 2057 : 1033;
  EXPECT_EQ(GetLanguageId(), static_cast<int32_t>(locale));  // no file yet: the attempt is spent
  WriteFile(SystemFolder() + "Resources\\LanguageMappings.dat",
            std::to_string(locale) + "=" + std::to_string(target) + "\n");
  EXPECT_EQ(GetLanguageId(), static_cast<int32_t>(locale));
  FreePreferencePaths();
  EXPECT_EQ(GetLanguageId(), static_cast<int32_t>(target));
}

TEST_F(PreferencePathsTest, HelpFileComesFromTheLocalizedFolderWhenPresent) {
  EXPECT_EQ(ResolveHelpFile("D:\\Docs\\Guide.pdf"), "D:\\Docs\\Guide.pdf");
  EXPECT_EQ(ResolveHelpFile("Guide.pdf"), HostFolder() + "Help\\Guide.pdf");
  WriteFile(SystemFolder() + "Help\\Guide.pdf", "%PDF");
  EXPECT_EQ(ResolveHelpFile("Guide.pdf"), HostFolder() + "System\\Help\\Guide.pdf");
}

}  // namespace
