#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "platform/Locale.h"
#include "tests/TestMachine.h"

namespace {

using platform::IniText;

TEST(IniRead, WindowsRules) {
  const IniText ini(
      "\xEF\xBB\xBF[Settings]\r\n"
      "  CopperHeight =  1  \r\n"
      "; Type=0\r\n"
      "Type=0\r\n"
      "type=1\r\n"
      "Quoted=\"  spaced  \"\r\n"
      "Single='x'\r\n"
      "Half=\"open\r\n"
      "Empty=\r\n"
      "NoEquals\r\n"
      "[ Other ]\r\n"
      "Type=9\r\n"
      "[SETTINGS]\r\n"
      "Material=later section is not read\r\n");
  EXPECT_EQ(ini.Get("SETTINGS", "copperheight"), "1");
  EXPECT_EQ(ini.Get("settings", "TYPE"), "0");  // first of duplicates, comment skipped
  EXPECT_EQ(ini.Get("Settings", "Quoted"), "  spaced  ");
  EXPECT_EQ(ini.Get("Settings", "Single"), "x");
  EXPECT_EQ(ini.Get("Settings", "Half"), "\"open");
  EXPECT_EQ(ini.Get("Settings", "Empty"), "");
  EXPECT_FALSE(ini.HasKey("Settings", "NoEquals"));
  EXPECT_FALSE(ini.HasKey("Settings", "Material"));
  EXPECT_EQ(ini.Get("other", "type"), "9");
  EXPECT_EQ(ini.Keys("settings"),
            (std::vector<std::string>{"CopperHeight", "Type", "Quoted", "Single", "Half", "Empty"}));
  EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"Settings", "Other"}));
  EXPECT_EQ(ini.GetString("Nowhere", "x", "dflt"), "dflt");
}

TEST(IniRead, IntegersMustBeWhole) {
  const IniText ini("[S]\na=0\nb=2\nc=False\nd= -7 \ne=12abc\nf=99999999999\ng=+3\n");
  EXPECT_EQ(ini.GetInteger("S", "a", 1), 0);
  EXPECT_EQ(ini.GetInteger("S", "b", 1), 2);
  EXPECT_EQ(ini.GetInteger("S", "c", 1), 1);
  EXPECT_EQ(ini.GetInteger("S", "d", 1), -7);
  EXPECT_EQ(ini.GetInteger("S", "e", 1), 1);
  EXPECT_EQ(ini.GetInteger("S", "f", 1), 1);
  EXPECT_EQ(ini.GetInteger("S", "g", 1), 3);
  EXPECT_EQ(ini.GetInteger("S", "missing", -1), -1);
}

TEST(IniWrite, ChangesOneValueAndKeepsTheRest) {
  IniText ini("; header comment\r\n[A]\r\nx = 1 ; not a comment\r\n\r\n[B]\r\ny=2\r\n");
  ASSERT_TRUE(ini.Set("a", "X", "5"));
  ASSERT_TRUE(ini.Set("A", "z", "new"));
  ASSERT_TRUE(ini.Set("C", "w", "3"));
  EXPECT_EQ(ini.ToString(),
            "; header comment\r\n[A]\r\nx=5\r\nz=new\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nw=3\r\n");
}

TEST(IniWrite, ValuesReadBackExactly) {
  IniText ini;
  for (const std::string value : {"  padded ", "\"quoted\"", "'single'", "plain", ""}) {
    ASSERT_TRUE(ini.Set("S", "k", value));
    EXPECT_EQ(IniText(ini.ToString()).Get("S", "k"), value) << ini.ToString();
  }
}

TEST(IniWrite, RefusesWhatALineCannotHold) {
  IniText ini("[S]\nk=1\n");
  std::string error;
  EXPECT_FALSE(ini.Set("S", "k", "two\nlines", &error));
  EXPECT_EQ(error, "an INI line cannot hold a line break");
  EXPECT_FALSE(ini.Set("S]", "k", "v", &error));
  EXPECT_FALSE(ini.Set("S", "a=b", "v", &error));
  EXPECT_FALSE(ini.Set("S", "", "v", &error));
  EXPECT_EQ(ini.ToString(), "[S]\nk=1\n");
}

// Files edited by hand mix line breaks; each line keeps its own, a last line
// without a full break keeps its ending, and what is added after such a line
// never runs into it.
TEST(IniWrite, EveryLineKeepsItsOwnBreak) {
  for (const std::string text : {"[A]\r\na=1\nb=2\r\n", "[A]\na=1\r\nb=2", "[A]\na=1\r", "\r", "\n\r\n\n"})
    EXPECT_EQ(IniText(text).ToString(), text);

  IniText ended("[A]\na=1\r");
  ASSERT_TRUE(ended.Set("A", "b", "2"));
  EXPECT_EQ(IniText(ended.ToString()).Get("A", "a"), "1") << ended.ToString();
  EXPECT_EQ(IniText(ended.ToString()).Get("A", "b"), "2");
  EXPECT_TRUE(ended.RemoveKey("A", "b"));
  EXPECT_EQ(ended.ToString(), "[A]\na=1\r");

  IniText open("[A]\r\na=1");
  ASSERT_TRUE(open.Set("B", "c", "3"));
  EXPECT_TRUE(open.RemoveSection("B"));
  EXPECT_EQ(open.ToString(), "[A]\r\na=1\r\n");
}

TEST(IniWrite, RemovesKeysAndSections) {
  IniText ini("[A]\na=1\nb=2\n[B]\nc=3\n");
  EXPECT_TRUE(ini.RemoveKey("a", "A"));
  EXPECT_FALSE(ini.RemoveKey("a", "A"));
  EXPECT_TRUE(ini.RemoveSection("b"));
  EXPECT_EQ(ini.ToString(), "[A]\nb=2\n");
}

TEST(IniFile, ProfileFunctionsOnWindowsPaths) {
  TestMachine machine;
  const std::string file = machine.Folder() + "\\Windows\\vemtro.ini";
  const std::string spelled = platform::UpperCaseText(machine.Folder()) + "\\windows\\VEMTRO.INI";
  EXPECT_EQ(platform::GetPrivateProfileString("SETTINGS", "Type", "none", file), "none");
  machine.WriteFile(machine.Folder() + "\\WINDOWS\\Vemtro.INI", "[settings]\r\nType=1\r\n");
  EXPECT_EQ(platform::GetPrivateProfileString("SETTINGS", "type", "none", spelled), "1");

  ASSERT_TRUE(platform::WritePrivateProfileString("SETTINGS", "Gerbers", "0", file));
  EXPECT_EQ(machine.ReadFile(file), "[settings]\r\nType=1\r\nGerbers=0\r\n");
  ASSERT_TRUE(platform::WritePrivateProfileString("SETTINGS", "type", std::nullopt, spelled));
  EXPECT_EQ(machine.ReadFile(file), "[settings]\r\nGerbers=0\r\n");
  EXPECT_EQ(platform::GetPrivateProfileString("Settings", "Gerbers", "none", file), "0");

  std::string error;
  EXPECT_FALSE(
      platform::WritePrivateProfileString("S", "k", "v", machine.Folder() + "\\No\\Such\\x.ini", &error));
  EXPECT_NE(error.find("folder does not exist"), std::string::npos) << error;
  // A folder in the file's place is never replaced, and reads as nothing.
  ASSERT_TRUE(platform::CreateDirectory(machine.Folder() + "\\Folder.ini"));
  EXPECT_FALSE(platform::WritePrivateProfileString("S", "k", "v", machine.Folder() + "\\Folder.ini", &error));
  EXPECT_NE(error.find("is a folder"), std::string::npos) << error;
  EXPECT_EQ(platform::GetPrivateProfileString("S", "k", "none", machine.Folder() + "\\Folder.ini"), "none");
}

}  // namespace
