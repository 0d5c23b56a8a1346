#include <gtest/gtest.h>

#include "TempMachine.h"
#include "platform/Machine.h"

namespace {

using namespace platform;

// Sets (or, with nil, removes) a variable of the process's environment.
void SetEnvironment(const char* name, const char* value) {
#if defined(_WIN32)
  _putenv_s(name, value ? value : "");
#else
  if (value)
    ::setenv(name, value, 1);
  else
    ::unsetenv(name);
#endif
}

TEST(MachinePaths, MapMatchesExistingComponentsIgnoringCase) {
  TempMachine machine;
  machine.Write("C/Program Files/Quorvex/System/PrefFolder.ini", "x");
  const auto root = machine.root();
  EXPECT_EQ(MapPath("c:\\PROGRAM FILES\\quorvex\\system\\preffolder.INI"),
            (root / "C/Program Files/Quorvex/System/PrefFolder.ini").make_preferred().string());
  // Missing components keep their spelling below the deepest match.
  EXPECT_EQ(MapPath("C:\\program files\\New Folder\\File.txt"),
            (root / "C/Program Files/New Folder/File.txt").make_preferred().string());
  EXPECT_EQ(MapPath("C:/Windows/vemtro.ini"), (root / "C/Windows/vemtro.ini").make_preferred().string());
  EXPECT_EQ(MapPath("\\Windows"), (root / "C/Windows").make_preferred().string());
  EXPECT_EQ(MapPath("D:\\data"), (root / "D/data").make_preferred().string());
}

TEST(MachinePaths, NothingEscapesTheRoot) {
  TempMachine machine;
  const auto root = machine.root();
  EXPECT_EQ(MapPath("C:\\..\\..\\etc\\passwd"), (root / "C/etc/passwd").make_preferred().string());
  EXPECT_EQ(MapPath("C:\\a\\.\\b\\..\\c"), (root / "C/a/c").make_preferred().string());
  EXPECT_EQ(MapPath("\\\\server\\share\\x"), "");
  EXPECT_EQ(MapPath("C:\\bad|name"), "");
  EXPECT_EQ(MapPath(std::string_view("C:\\a\0b", 6)), "");
  EXPECT_EQ(MapPath("1:\\x"), "");
}

TEST(MachinePaths, FilesAndFolders) {
  TempMachine machine;
  EXPECT_FALSE(CreateDirectory("C:\\Users\\user\\AppData"));  // one level only
  EXPECT_TRUE(CreateDirectories("C:\\Users\\user\\AppData\\Roaming"));
  EXPECT_TRUE(CreateDirectory("C:\\USERS\\USER\\APPDATA\\ROAMING\\Verdane2004"));
  EXPECT_TRUE(DirectoryExists("C:\\Users\\user\\AppData\\Roaming\\Verdane2004"));
  EXPECT_TRUE(std::filesystem::is_directory(machine.root() / "C/Users/user/AppData/Roaming/Verdane2004"));

  const std::string binary("one\0two", 7);
  ASSERT_TRUE(WriteFile("C:\\Users\\user\\a.txt", binary));
  std::string text;
  ASSERT_TRUE(ReadFile("c:\\users\\USER\\A.TXT", &text));
  EXPECT_EQ(text, binary);
  EXPECT_TRUE(FileExists("C:\\Users\\user\\A.txt"));
  EXPECT_FALSE(FileExists("C:\\Users\\user"));

  std::string error;
  EXPECT_FALSE(ReadFile("C:\\missing.txt", &text, &error));
  EXPECT_NE(error.find("C:\\missing.txt"), std::string::npos);
  EXPECT_FALSE(WriteFile("C:\\NoFolder\\x.txt", "x", &error));
  EXPECT_NE(error.find("its folder does not exist"), std::string::npos);
}

TEST(MachineFacts, DefaultsWithoutMachineIni) {
  TempMachine machine;
  EXPECT_EQ(GetOsVersion().major, 10u);
  EXPECT_EQ(GetOsVersion().minor, 0u);
  EXPECT_EQ(GetSystemDefaultLocaleId(), 1033u);
  EXPECT_EQ(GetUserDefaultLocaleId(), 1033u);
  EXPECT_EQ(GetUserName(), "user");
  EXPECT_EQ(GetHostProgramPath(), "C:\\Program Files\\Quorvex\\Quorvex.exe");
  EXPECT_EQ(GetHostProgramFolder(), "C:\\Program Files\\Quorvex\\");
  ASSERT_EQ(GetMonitors().size(), 1u);
  EXPECT_EQ(GetMonitors()[0].bounds, (Rect{0, 0, 1920, 1080}));
  EXPECT_TRUE(GetMonitors()[0].primary);
  EXPECT_EQ(GetWindowsDirectory(), "C:\\Windows");
  EXPECT_EQ(GetSpecialFolder(CSIDL_APPDATA), "C:\\Users\\user\\AppData\\Roaming");
  EXPECT_EQ(GetSpecialFolder(12345), "");
  EXPECT_EQ(MachineFactsProblem(), "");
}

TEST(MachineFacts, ReadFromMachineIniAndRereadWhenChanged) {
  TempMachine machine;
  machine.Write("machine.ini",
                "[Windows]\nVersion=5.0\n[Locale]\nSystem=1031\n[User]\nName=anna\n"
                "[Host]\nProgram=D:\\Tools\\Q\\Quorvex.exe\n"
                "[Monitor1]\nBounds=0,0,1920,1080\nWorkArea=0,0,1920,1040\n"
                "[Monitor2]\nBounds=1920,0,3200,1024\n");
  EXPECT_EQ(GetOsVersion().major, 5u);
  EXPECT_EQ(GetOsVersion().minor, 0u);
  EXPECT_EQ(GetSystemDefaultLocaleId(), 1031u);
  EXPECT_EQ(GetUserDefaultLocaleId(), 1031u);
  EXPECT_EQ(GetSpecialFolder(CSIDL_APPDATA), "C:\\Users\\anna\\AppData\\Roaming");
  EXPECT_EQ(GetHostProgramFolder(), "D:\\Tools\\Q\\");
  const auto monitors = GetMonitors();
  ASSERT_EQ(monitors.size(), 2u);
  EXPECT_EQ(monitors[0].workArea, (Rect{0, 0, 1920, 1040}));
  EXPECT_EQ(monitors[1].bounds, (Rect{1920, 0, 3200, 1024}));
  EXPECT_EQ(monitors[1].workArea, monitors[1].bounds);
  EXPECT_FALSE(monitors[1].primary);

  machine.Write("machine.ini", "[Windows]\nVersion=6.1\n[Locale]\nSystem=1033\nUser=1036\n");
  EXPECT_EQ(GetOsVersion().minor, 1u);
  EXPECT_EQ(GetUserDefaultLocaleId(), 1036u);
  EXPECT_EQ(GetMonitors().size(), 1u);
}

TEST(MachineFacts, BrokenValuesFallBackAndAreReported) {
  TempMachine machine;
  machine.Write("machine.ini", "[Windows]\nVersion=ten\n[Monitor1]\nBounds=0,0,-5,10\n[User]\nName=a\\b\n");
  EXPECT_EQ(GetOsVersion().major, 10u);
  EXPECT_EQ(GetMonitors().size(), 1u);
  EXPECT_EQ(GetMonitors()[0].bounds, (Rect{0, 0, 1920, 1080}));
  EXPECT_EQ(GetUserName(), "user");
  EXPECT_NE(MachineFactsProblem().find("machine.ini: [Windows] Version: expected major.minor, got \"ten\""),
            std::string::npos)
      << MachineFactsProblem();
}

TEST(MachineRoot, EnvironmentChoosesTheRootWhenNoneIsSet) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("platform-env-root-" + std::to_string(::getpid()));
  SetMachineRoot("");
  SetEnvironment("QUORVEX_MACHINE", dir.string().c_str());
  EXPECT_EQ(MachineRoot(), dir.string());
  EXPECT_TRUE(std::filesystem::is_directory(dir / "C"));
  SetEnvironment("QUORVEX_MACHINE", nullptr);
  std::filesystem::remove_all(dir);
}

}  // namespace
