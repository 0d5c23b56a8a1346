#include <gtest/gtest.h>

#include "platform/Locale.h"
#include "platform/Machine.h"
#include "tests/TestMachine.h"

namespace platform {
namespace {

// Windows paths that name the same place map to the same native path;
// what cannot be a Windows path maps to nothing.
TEST(MachinePaths, SpellingsOfOnePlaceMapAlike) {
  TestMachine machine;
  const std::string place = MapPath("C:\\etc\\passwd");
  ASSERT_FALSE(place.empty());
  EXPECT_EQ(MapPath("C:\\..\\..\\etc\\passwd"), place);
  EXPECT_EQ(MapPath("c:/etc/passwd"), place);
  EXPECT_EQ(MapPath("\\etc\\passwd"), place);
  EXPECT_EQ(MapPath("etc//passwd"), place);
  EXPECT_EQ(MapPath("C:\\etc.\\x\\..\\.\\passwd. "), place);
  EXPECT_EQ(MapPath("C:\\a\\.\\b\\..\\c"), MapPath("C:\\a\\c"));
  EXPECT_NE(MapPath("D:\\etc\\passwd"), place);
  EXPECT_EQ(MapPath("\\\\server\\share\\x"), "");
  EXPECT_EQ(MapPath("C:\\bad|name"), "");
  EXPECT_EQ(MapPath("C:\\bad\x01name"), "");
  EXPECT_EQ(MapPath(std::string_view("C:\\a\0b", 6)), "");
  EXPECT_EQ(MapPath("1:\\x"), "");
}

TEST(MachinePaths, FilesAndFolders) {
  TestMachine machine;
  const std::string folder = machine.Folder();
  EXPECT_FALSE(CreateDirectory(folder + "\\user\\AppData"));  // one level only
  EXPECT_TRUE(CreateDirectories(folder + "\\user\\AppData\\Roaming"));
  EXPECT_TRUE(CreateDirectory(UpperCaseText(folder) + "\\USER\\APPDATA\\ROAMING\\Verdane2004"));
  EXPECT_TRUE(DirectoryExists(folder + "\\user\\AppData\\Roaming\\Verdane2004"));
  EXPECT_TRUE(
      std::filesystem::is_directory(machine.Native(folder + "\\user\\AppData\\Roaming\\Verdane2004")));

  const std::string binary("one\0two\r\n", 9);
  ASSERT_TRUE(WriteFile(folder + "\\user\\a.txt", binary));
  std::string text;
  ASSERT_TRUE(ReadFile(UpperCaseText(folder) + "\\USER\\A.TXT", &text));
  EXPECT_EQ(text, binary);
  EXPECT_EQ(machine.ReadFile(folder + "\\user\\a.txt"), binary);
  EXPECT_TRUE(FileExists(folder + "\\user\\A.txt"));
  EXPECT_FALSE(FileExists(folder + "\\user"));
  EXPECT_FALSE(DirectoryExists(folder + "\\user\\a.txt"));

  std::string error;
  EXPECT_FALSE(ReadFile(folder + "\\missing.txt", &text, &error));
  EXPECT_NE(error.find(folder + "\\missing.txt"), std::string::npos) << error;
  EXPECT_FALSE(WriteFile(folder + "\\NoFolder\\x.txt", "x", &error));
  EXPECT_NE(error.find("its folder does not exist"), std::string::npos);
  EXPECT_FALSE(WriteFile(folder + "\\user", "x", &error));  // a folder is never replaced
  EXPECT_TRUE(DirectoryExists(folder + "\\user"));
  EXPECT_FALSE(WriteFile("C:\\bad|name", "x", &error));
  EXPECT_NE(error.find("not a valid Windows path"), std::string::npos);
}

// Names beyond ASCII reach the file system as the same names, and a file
// written again is replaced whole, with nothing left beside it.
TEST(MachinePaths, ReplacingAFileWithAnyName) {
  TestMachine machine;
  const std::string file = machine.Folder() + "\\Gr\u00f6\u00dfe \u20ac\\\u65e5\u672c.ini";
  ASSERT_TRUE(CreateDirectory(machine.Folder() + "\\Gr\u00f6\u00dfe \u20ac"));
  ASSERT_TRUE(WriteFile(file, "first, and longer than the second"));
  ASSERT_TRUE(WriteFile(file, "second"));
  EXPECT_EQ(machine.ReadFile(file), "second");
  const auto native = machine.Native(file);
  const std::u8string name = native.filename().u8string();
  EXPECT_EQ(std::string(name.begin(), name.end()), "\u65e5\u672c.ini");
  size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(native.parent_path()))
    ++entries;
  EXPECT_EQ(entries, 1u);
}

#if defined(_WIN32)
// On Windows a Windows path is the native path, and the machine is the
// system: there is no root to choose.
TEST(MachinePaths, WindowsPathsAreNative) {
  EXPECT_EQ(MapPath("c:/Windows\\\\vemtro.ini"), "C:\\Windows\\vemtro.ini");
  EXPECT_EQ(MapPath("\\Windows\\..\\..\\x"), "C:\\x");
  EXPECT_EQ(MapPath("d:"), "D:\\");
  const std::string before = MapPath("C:\\x");
  SetMachineRoot("C:\\elsewhere");
  EXPECT_EQ(MachineRoot(), "");
  EXPECT_EQ(MapPath("C:\\x"), before);
  SetMachineRoot("");
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST(MachineFacts, FromTheSystem) {
  const std::string program = GetHostProgramPath();
  EXPECT_TRUE(Lower(program).ends_with("\\platform_tests.exe")) << program;
  EXPECT_TRUE(FileExists(program));
  EXPECT_EQ(GetHostProgramFolder(),
            program.substr(0, program.size() - std::string("platform_tests.exe").size()));
  EXPECT_TRUE(DirectoryExists(GetWindowsDirectory())) << GetWindowsDirectory();
  for (const int csidl : {CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_PERSONAL, CSIDL_PROGRAM_FILES}) {
    const std::string folder = GetSpecialFolder(csidl);
    EXPECT_EQ(MapPath(folder), folder) << csidl;  // a full path, no trailing backslash
  }
  EXPECT_NE(GetSpecialFolder(CSIDL_APPDATA), GetSpecialFolder(CSIDL_LOCAL_APPDATA));
  EXPECT_EQ(GetSpecialFolder(12345), "");
  EXPECT_GE(GetOsVersion().major, 5u);
  EXPECT_NE(GetSystemDefaultLocaleId(), 0u);
  EXPECT_NE(GetUserDefaultLocaleId(), 0u);
  EXPECT_FALSE(GetUserName().empty());
  const auto monitors = GetMonitors();
  ASSERT_FALSE(monitors.empty());
  EXPECT_TRUE(monitors.front().primary);
  for (size_t n = 1; n < monitors.size(); ++n) EXPECT_FALSE(monitors[n].primary);
  for (const MonitorInfo& monitor : monitors) {
    EXPECT_FALSE(monitor.bounds.empty());
    EXPECT_FALSE(monitor.workArea.empty());
  }
  EXPECT_EQ(MachineFactsProblem(), "");
}
#else
// The machine root of POSIX systems: its layout on disk, machine.ini and the
// choice of the root.

TEST(MachinePaths, MapMatchesExistingComponentsIgnoringCase) {
  TestMachine machine;
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

TEST(MachineFacts, DefaultsWithoutMachineIni) {
  TestMachine machine;
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
  TestMachine machine;
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
  TestMachine machine;
  machine.Write("machine.ini", "[Windows]\nVersion=ten\n[Monitor1]\nBounds=0,0,-5,10\n[User]\nName=a\\b\n");
  EXPECT_EQ(GetOsVersion().major, 10u);
  EXPECT_EQ(GetMonitors().size(), 1u);
  EXPECT_EQ(GetMonitors()[0].bounds, (Rect{0, 0, 1920, 1080}));
  EXPECT_EQ(GetUserName(), "user");
  EXPECT_NE(MachineFactsProblem().find("machine.ini: [Windows] Version: expected major.minor, got \"ten\""),
            std::string::npos)
      << MachineFactsProblem();
}

// Sets (or, with nil, removes) a variable of the process's environment.
void SetEnvironment(const char* name, const char* value) {
  if (value)
    ::setenv(name, value, 1);
  else
    ::unsetenv(name);
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

#endif  // _WIN32

}  // namespace
}  // namespace platform
