#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/Registry.h"
#include "tests/TestMachine.h"

namespace platform {
namespace {

#if !defined(_WIN32)
// The registry file of the machine root: its text, its folding of names,
// outside edits and broken files.

TEST(Registry, ValuesRoundTripThroughTheFile) {
  TestMachine machine;
  ASSERT_TRUE(
      WriteString(HKEY_CURRENT_USER, "Software\\Verdane2004\\Preference Location", "Application", "MyPrefs"));
  ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, "Software\\Verdane2004\\Quorvex\\Forms", "Width", 42));
  ASSERT_TRUE(WriteString(HKEY_CLASSES_ROOT, ".PDF", "@", "AcroExch.Document"));
  const std::string tricky = "C:\\Program Files\\\"Reader\" %1";
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, "Software\\T", "Quote \"and\" slash\\", tricky));
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, "Software\\T", "Lines", "first\r\nsecond"));

  const std::string file = machine.Read("registry.reg");
  EXPECT_EQ(file.rfind("Windows Registry Editor Version 5.00\n", 0), 0u);
  EXPECT_NE(
      file.find(
          "[HKEY_CURRENT_USER\\Software\\Verdane2004\\Preference Location]\n\"Application\"=\"MyPrefs\""),
      std::string::npos);
  EXPECT_NE(file.find("\"Width\"=dword:0000002a"), std::string::npos);
  EXPECT_NE(file.find("[HKEY_CLASSES_ROOT\\.PDF]\n@=\"AcroExch.Document\""), std::string::npos);
  EXPECT_NE(file.find(R"("Quote \"and\" slash\\"="C:\\Program Files\\\"Reader\" %1")"), std::string::npos);

  // A fresh process would read the same: force a re-read by switching roots.
  SetMachineRoot(machine.root().string() + "/elsewhere");
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Verdane2004"));
  SetMachineRoot(machine.root().string());
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Software\\Verdane2004\\Preference Location", "Application"),
            "MyPrefs");
  EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, "Software\\Verdane2004\\Quorvex\\Forms", "Width"), 42u);
  EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".PDF", ""), "AcroExch.Document");
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Software\\T", "Quote \"and\" slash\\"), tricky);
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Software\\T", "Lines"), "first\r\nsecond");
}

// Handles, case and a leading backslash are checked on either system below;
// here the key comes from the file's own text.
TEST(Registry, KeysInTheFileIgnoreCaseAndImplyTheirParents) {
  TestMachine machine;
  machine.Write("registry.reg",
                "Windows Registry Editor Version 5.00\r\n\r\n"
                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Verdane\\TestMode]\r\n"
                "\"Flag\"=dword:00000001\r\n");
  EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, "\\Software\\Verdane\\TestMode", "FLAG"), 1u);
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "software\\verdane"));  // implied parent
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Verdane\\TestModeX"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Verdane\\TestMode"));
}

// Letters whose capital takes fewer bytes (the dotless i, the long s) in the
// parent's path or in the names themselves: names are listed whole, as
// written, and each opens.
TEST(Registry, SubkeyNamesSurviveFoldingThatChangesTheirLength) {
  TestMachine machine;
  const std::string parent = "Software\\\u0131nk\u017Ft";  // "ınkſt"
  const std::vector<std::string> written = {"Alpha", "\u017Fub\u0131", "Z"};
  for (const std::string& name : written)
    ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, parent + "\\" + name, "v", 1));
  HKEY key = 0;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\INKST", 0, KEY_READ, &key), ERROR_SUCCESS);
  std::vector<std::string> names;
  ASSERT_EQ(RegEnumKeys(key, &names), ERROR_SUCCESS);
  EXPECT_EQ(names, written);
  for (const std::string& name : names) {
    HKEY child = 0;
    EXPECT_EQ(RegOpenKeyEx(key, name, 0, KEY_READ, &child), ERROR_SUCCESS) << name;
    RegCloseKey(child);
  }
  RegCloseKey(key);
}

// A file of nothing but blanks is an empty registry, and as writable as a
// missing one.
TEST(Registry, BlankFileReadsEmptyAndTakesChanges) {
  for (const std::string blank : {"\t\r", "\xEF\xBB\xBF \r\n\r\n", "\n"}) {
    TestMachine machine;
    machine.Write("registry.reg", blank);
    EXPECT_EQ(RegistryProblem(), "");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software"));
    ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, "Software\\T", "Name", "value")) << RegLastError();
    SetMachineRoot(machine.root().string() + "/elsewhere");
    SetMachineRoot(machine.root().string());
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Software\\T", "Name"), "value");
  }
}

TEST(Registry, OutsideEditIsSeenAtOnce) {
  TestMachine machine;
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Verdane\\TestMode"));
  machine.Write(
      "registry.reg",
      "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Verdane\\TestMode]\n");
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Verdane\\TestMode"));
  std::filesystem::remove(machine.root() / "registry.reg");
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Verdane\\TestMode"));
}

TEST(Registry, MalformedFileIsNeverOverwritten) {
  TestMachine machine;
  const std::string broken =
      "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\A]\n\"Good\"=\"1\"\nnonsense "
      "here\n";
  machine.Write("registry.reg", broken);

  EXPECT_FALSE(ReadString(HKEY_CURRENT_USER, "Software\\A", "Good"));
  const std::string reason = RegLastError();
  EXPECT_NE(reason.find("registry.reg, line 5: expected a value line"), std::string::npos) << reason;

  EXPECT_FALSE(WriteString(HKEY_CURRENT_USER, "Software\\A", "New", "x"));
  EXPECT_NE(RegLastError().find("line 5"), std::string::npos);
  HKEY key = 0;
  EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\B", &key), ERROR_BADDB);
  EXPECT_EQ(machine.Read("registry.reg"), broken);

  // Mended by hand: usable again.
  machine.Write("registry.reg",
                "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\A]\n\"Good\"=\"1\"\n");
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Software\\A", "Good"), "1");
}

TEST(Registry, MalformedLinesAreNamed) {
  TestMachine machine;
  const struct {
    const char* text;
    const char* reason;
  } cases[] = {
      {"REGEDIT4\n", "line 1: expected the first line"},
      {"Windows Registry Editor Version 5.00\n\"A\"=\"x\"\n", "line 2: a value line before the first [key]"},
      {"Windows Registry Editor Version 5.00\n[HKEY_NOWHERE\\X]\n", "line 2: unknown root key"},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"A\"=dword:123456789\n",
       "line 3: expected dword:"},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"A\"=\"C:\\Temp\"\n",
       "line 3: a backslash"},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"A\"=\"open\n",
       "line 3: a quoted name or text has no closing quote"},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X\n",
       "line 2: a key line must end with ']'"},
  };
  for (const auto& c : cases) {
    machine.Write("registry.reg", c.text);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "X")) << c.text;
    EXPECT_NE(RegLastError().find(c.reason), std::string::npos) << c.text << "\n" << RegLastError();
  }
}

TEST(Registry, OtherValueKindsAreKeptWhenTheFileIsRewritten) {
  TestMachine machine;
  machine.Write("registry.reg",
                "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\K]\n"
                "\"Bin\"=hex:01,02,\\\n  ff\n\"Expand\"=hex(2):25,00,00,00\n");
  ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, "Software\\K", "N", 7));
  const std::string file = machine.Read("registry.reg");
  EXPECT_NE(file.find("\"Bin\"=hex:01,02,\\\n  ff\n"), std::string::npos) << file;
  EXPECT_NE(file.find("\"Expand\"=hex(2):25,00,00,00"), std::string::npos) << file;
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Software\\K", "Bin"), std::nullopt);
}

// The file is the user's: a change rewrites only the lines it concerns, and
// what changes nothing writes nothing.
TEST(Registry, ChangesTouchOnlyTheirOwnLines) {
  TestMachine machine;
  const std::string original =
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n; kept comment\r\n"
      "[HKEY_CURRENT_USER\\Software\\K]\r\n"
      "\"Lone\"=hex(1):00,d8,00,00\r\n"
      "\"Nuls\"=hex(1):41,00,00,00,42,00,00,00\r\n"
      "\"N\"=dword:00000001\r\n"
      "; trailing comment\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
      "\"Wide\"=hex(7):41,00,00,00\r\n"
      "\"Gone\"=\"x\"";  // no line break at the end
  machine.Write("registry.reg", original);
  const auto file = machine.root() / "registry.reg";
  const auto past = std::filesystem::last_write_time(file) - std::chrono::hours(1);
  std::filesystem::last_write_time(file, past);

  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\K", &key), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_TRUE(WriteDword(HKEY_CURRENT_USER, "Software\\K", "N", 1));
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Software\\Other", "Gone"), "x");
  EXPECT_EQ(machine.Read("registry.reg"), original);
  EXPECT_EQ(std::filesystem::last_write_time(file), past) << "nothing changed, nothing written";

  std::string expected = original;
  const auto replace = [&](const std::string& from, const std::string& to) {
    expected.replace(expected.find(from), from.size(), to);
  };
  ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, "Software\\K", "n", 2));
  replace("\"N\"=dword:00000001", "\"N\"=dword:00000002");
  EXPECT_EQ(machine.Read("registry.reg"), expected);
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, "Software\\K", "S", "t"));
  replace("dword:00000002\r\n", "dword:00000002\r\n\"S\"=\"t\"\r\n");
  EXPECT_EQ(machine.Read("registry.reg"), expected);
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, "Software\\Other", "New", "v"));
  replace("\"Gone\"=\"x\"", "\"Gone\"=\"x\"\r\n\"New\"=\"v\"\r\n");
  EXPECT_EQ(machine.Read("registry.reg"), expected);
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Other", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValue(key, "gone"), ERROR_SUCCESS);
  RegCloseKey(key);
  replace("\"Gone\"=\"x\"\r\n", "");
  EXPECT_EQ(machine.Read("registry.reg"), expected);
}

#endif  // !_WIN32

// On either system: the registry of a machine of the test's own, under a key
// no other test uses.

TEST(Registry, ValuesRoundTrip) {
  TestMachine machine;
  const std::string key = machine.SoftwareKey() + "\\Preference Location";
  const std::string text = "C:\\Program Files\\\"Reader\" %1 \u00e4\u20ac\U0001F600";
  const std::string lines = "first\r\nsecond";
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, key, "Quote \"and\" slash\\", text)) << RegLastError();
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, key, "Lines", lines));
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, key, "@", "default"));
  ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, key, "Width", 42));
  HKEY handle = 0;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, key, 0, KEY_ALL_ACCESS, &handle), ERROR_SUCCESS);
  RegValue binary;
  binary.type = REG_BINARY;
  binary.rawHex = "00,7f,80,ff";
  ASSERT_EQ(RegSetValueEx(handle, "Bin", binary), ERROR_SUCCESS);
  RegValue bad = binary;
  bad.rawHex = "1,xyz";
  EXPECT_EQ(RegSetValueEx(handle, "Bad", bad), ERROR_INVALID_PARAMETER);
  RegValue read;
  ASSERT_EQ(RegQueryValueEx(handle, "bin", &read), ERROR_SUCCESS);
  EXPECT_EQ(read.type, REG_BINARY);
  EXPECT_EQ(read.rawHex, binary.rawHex);
  EXPECT_EQ(RegQueryValueEx(handle, "Bad", &read), ERROR_FILE_NOT_FOUND);
  EXPECT_NE(RegLastError().find("Bad"), std::string::npos) << RegLastError();
  RegCloseKey(handle);

  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, key, "Quote \"and\" slash\\"), text);
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, key, "Lines"), lines);
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, key, ""), "default");
  EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, key, "WIDTH"), 42u);
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, key, "Bin"), std::nullopt);
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, key, "Missing"), std::nullopt);
}

TEST(Registry, KeysAndValueNamesIgnoreCaseAndLeadingBackslash) {
  TestMachine machine;
  const std::string base = machine.SoftwareKey();
  ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, base + "\\Verdane\\TestMode", "Flag", 1));
  HKEY key = 0;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "\\" + base + "\\VERDANE\\testmode", 0, KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  EXPECT_NE(key, 0u);
  RegValue value;
  EXPECT_EQ(RegQueryValueEx(key, "FLAG", &value), ERROR_SUCCESS);
  EXPECT_EQ(value.type, REG_DWORD);
  EXPECT_EQ(value.dword, 1u);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegQueryValueEx(key, "Flag", &value), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);

  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, base + "\\verdane"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base + "\\Verdane\\TestModeX"));
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, base + "\\Nothing", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, 0u);
  EXPECT_NE(RegLastError().find("Nothing"), std::string::npos) << RegLastError();
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, base));
  EXPECT_EQ(RegLastError(), "");
}

// Handles stay apart while many are open at once, and each reaches its own
// key.
TEST(Registry, ManyOpenHandlesEachReachTheirKey) {
  TestMachine machine;
  std::vector<HKEY> handles;
  for (uint32_t n = 0; n < 40; ++n) {
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, machine.SoftwareKey() + "\\K" + std::to_string(n), &key),
              ERROR_SUCCESS);
    RegValue value;
    value.type = REG_DWORD;
    value.dword = n;
    ASSERT_EQ(RegSetValueEx(key, "n", value), ERROR_SUCCESS);
    handles.push_back(key);
  }
  for (uint32_t n = 0; n < handles.size(); ++n) {
    RegValue value;
    ASSERT_EQ(RegQueryValueEx(handles[n], "n", &value), ERROR_SUCCESS);
    EXPECT_EQ(value.dword, n);
    EXPECT_EQ(RegCloseKey(handles[n]), ERROR_SUCCESS);
  }
}

TEST(Registry, DeletingValuesAndKeys) {
  TestMachine machine;
  const std::string base = machine.SoftwareKey();
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, base + "\\D\\Sub\\Deep", "v", "1"));
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, base + "\\D", "keep", "1"));
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, base + "\\Dx", "v", "sibling"));

  HKEY key = 0;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, base + "\\D", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  std::vector<std::string> names;
  ASSERT_EQ(RegEnumKeys(key, &names), ERROR_SUCCESS);
  EXPECT_EQ(names, std::vector<std::string>{"Sub"});
  ASSERT_EQ(RegEnumValues(key, &names), ERROR_SUCCESS);
  EXPECT_EQ(names, std::vector<std::string>{"keep"});
  EXPECT_EQ(RegDeleteValue(key, "KEEP"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValue(key, "keep"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKey(key, "sub"), ERROR_SUCCESS);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base + "\\D\\Sub\\Deep"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base + "\\D\\Sub"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, base + "\\Dx"));
  EXPECT_EQ(RegDeleteKey(key, "sub"), ERROR_FILE_NOT_FOUND);

  HKEY child = 0;
  ASSERT_EQ(RegOpenKeyEx(key, "", 0, KEY_READ, &child), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, base + "\\D"), ERROR_SUCCESS);
  RegValue value;
  EXPECT_EQ(RegQueryValueEx(child, "keep", &value), ERROR_KEY_DELETED);
  // A root is never deleted, however it is named.
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "\\"), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, base + "\\Dx"));
  RegCloseKey(child);
  RegCloseKey(key);
#if !defined(_WIN32)
  EXPECT_EQ(machine.Read("registry.reg").find("[HKEY_CURRENT_USER\\" + base + "\\D]"), std::string::npos);
#endif
}

TEST(Registry, CreateReportsWhetherTheKeyIsNew) {
  TestMachine machine;
  const std::string base = machine.SoftwareKey();
  HKEY key = 0;
  bool created = false;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, base + "\\New", &key, &created), ERROR_SUCCESS);
  EXPECT_TRUE(created);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, base + "\\NEW", &key, &created), ERROR_SUCCESS);
  EXPECT_FALSE(created);
  RegCloseKey(key);
#if !defined(_WIN32)
  // A line of the registry file cannot hold a line break.
  EXPECT_FALSE(WriteString(HKEY_CURRENT_USER, base + "\\Bad\nKey", "v", "x"));
#endif
}

TEST(Registry, DwordAndTextReadEachOther) {
  TestMachine machine;
  const std::string key = machine.SoftwareKey();
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, key, "Number", "123"));
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, key, "Word", "abc"));
  ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, key, "D", 0xFFFFFFFFu));
  EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, key, "Number"), 123u);
  EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, key, "Word"), std::nullopt);
  EXPECT_EQ(RegLastError(), "the registry value is not a number");
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, key, "D"), "4294967295");
  EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, key, "D"), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace platform
