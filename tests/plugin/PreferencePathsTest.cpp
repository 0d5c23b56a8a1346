#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "PathsTestSupport.h"
#include "platform/Registry.h"

using namespace strativue;

namespace {

class PreferencePathsTest : public pathstest::PathsTest {
 protected:
  void SetUp() override {
#if defined(_WIN32)
    GTEST_SKIP() << "these read the host program and locale from machine.ini and write fixed keys and files, "
                    "which are the system's there; they need a machine of their own (tests/TestMachine.h)";
#endif
    PathsTest::SetUp();
  }
  static void SetRegistryLocation(std::string_view value) {
    ASSERT_TRUE(platform::WriteString(platform::HKEY_CURRENT_USER,
                                      "Software\\Verdane2004\\Preference Location", "Application", value));
  }
  // The system folder of the default host program, spelt as the file
  // system has it rather than upper-cased.
  static void SetIniLocation(std::string_view value) {
    WriteFile("C:\\Program Files\\Quorvex\\System\\PrefFolder.ini",
              "[Preference Location]\r\nApplication=" + std::string(value) + "\r\n");
  }
};

TEST_F(PreferencePathsTest, RegistryValueNamesTheRegistryPathAndTheUserFolder) {
  SetRegistryLocation("MyPrefs");
  SetIniLocation("FromIni");  // the registry comes first
  EXPECT_EQ(GetPreferenceLocation(), "\\MyPrefs");
  EXPECT_EQ(GetPreferenceRegistryPath(), "Software\\MyPrefs\\Quorvex");
  const std::string appData = "C:\\Users\\user\\AppData\\Roaming";
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
  WriteFile("C:\\Program Files\\Quorvex\\System\\PrefFolder.ini", "[Preference Location]\r\nOther=1\r\n");
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
  std::ofstream(std::filesystem::path(root_) / "machine.ini") << "[Host]\nProgram=D:\\Eda\\Qv\\Quorvex.exe\n";
  EXPECT_EQ(GetHostExecutableFolder(), "D:\\EDA\\QV\\");
  EXPECT_EQ(GetSystemFolder(), "D:\\EDA\\QV\\System\\");
  EXPECT_EQ(GetResourcesFolder(), "D:\\EDA\\QV\\System\\Resources\\");
  EXPECT_EQ(GetApplicationHelpFolder(), "D:\\EDA\\QV\\Help\\");
  // Without the host's system-locale preference the language folder is the
  // system folder.
  EXPECT_EQ(GetLanguageResourcesFolder(), "D:\\EDA\\QV\\System\\");
  EXPECT_EQ(GetLocalizedHelpFolder(), "D:\\EDA\\QV\\System\\Help\\");
}

TEST_F(PreferencePathsTest, LanguageMappingPicksTheResourcesFolder) {
  std::ofstream(std::filesystem::path(root_) / "machine.ini") << "[Locale]\nSystem=1031\n";
  SetHostPreference("UseSystemLocaleLanguage", true);
  const std::string resources = "C:\\PROGRAM FILES\\QUORVEX\\System\\Resources\\";
  // A line with a non-numeric side is skipped, so the second 1031 line is
  // the first entry for that locale; blanks and CR line ends are allowed.
  WriteFile(resources + "LanguageMappings.dat", "1031=German\r\n 1031 = 1033 \r\n1031=2057\r\nnoise\r\n");
  EXPECT_EQ(GetLanguageId(), 1033);
  // The mapped folder is missing: the primary language of 1031 (1031 with
  // bits 10 to 15 cleared is 1031 - 1024 = 7) is used instead.
  EXPECT_EQ(GetLanguageResourcesFolder(), resources + "7\\");
  ASSERT_TRUE(platform::CreateDirectories(resources + "1033"));
  EXPECT_EQ(GetLanguageResourcesFolder(), resources + "1033\\");
  EXPECT_EQ(GetLocalizedHelpFolder(), resources + "1033\\Help\\");
}

TEST_F(PreferencePathsTest, LanguageTableIsReadOnlyOnce) {
  std::ofstream(std::filesystem::path(root_) / "machine.ini") << "[Locale]\nSystem=1031\n";
  EXPECT_EQ(GetLanguageId(), 1031);  // no file yet: the attempt is spent
  WriteFile("C:\\Program Files\\Quorvex\\System\\Resources\\LanguageMappings.dat", "1031=1033\n");
  EXPECT_EQ(GetLanguageId(), 1031);
  FreePreferencePaths();
  EXPECT_EQ(GetLanguageId(), 1033);
}

TEST_F(PreferencePathsTest, HelpFileComesFromTheLocalizedFolderWhenPresent) {
  EXPECT_EQ(ResolveHelpFile("D:\\Docs\\Guide.pdf"), "D:\\Docs\\Guide.pdf");
  EXPECT_EQ(ResolveHelpFile("Guide.pdf"), "C:\\PROGRAM FILES\\QUORVEX\\Help\\Guide.pdf");
  WriteFile("C:\\Program Files\\Quorvex\\System\\Help\\Guide.pdf", "%PDF");
  EXPECT_EQ(ResolveHelpFile("Guide.pdf"), "C:\\PROGRAM FILES\\QUORVEX\\System\\Help\\Guide.pdf");
}

}  // namespace
