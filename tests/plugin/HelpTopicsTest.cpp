// Help topic tables and the topic lookup with prefixes and redirects.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "plugin/RTL/HelpTopics.h"
#include "tests/TestMachine.h"

namespace strativue {
namespace {

TEST(HelpTopicTablesTest, ReadsNumbersRedirectsAndIgnoresLinesWithoutEquals) {
  THelpTopicTables tables;
  tables.Load(
      "Dlg_B=7\r\n"
      "no equals sign here\n"
      "Dlg_A=5,PCB:Dlg_Y\n"
      "Dlg_C=seven\n"
      "Dlg_D=-3\n"
      "Dlg_E=1,x,y\n"
      "dlg_b=9\n"
      "Dlg_F=x=1");
  EXPECT_EQ(tables.Size(), 7u);
  EXPECT_EQ(tables.Find("DLG_B"), 7);  // case-insensitive; the first of two equal names wins
  EXPECT_EQ(tables.Find("Dlg_C"), 0);  // not a number
  // A negative number would read as a redirect index: it counts as 0.
  EXPECT_EQ(tables.Find("Dlg_D"), 0);
  EXPECT_EQ(tables.Find("Dlg_F"), 0);  // the name ends at the first "="
  EXPECT_EQ(tables.Find("no equals sign here"), std::nullopt);
  // Redirects hold the complement of their index; the text after the first
  // comma is the redirect, the number before it plays no part.
  ASSERT_EQ(tables.Redirects(), (std::vector<std::string>{"PCB:Dlg_Y", "x,y"}));
  EXPECT_EQ(tables.Find("dlg_a"), ~0);
  EXPECT_EQ(tables.Find("Dlg_E"), ~1);
  EXPECT_EQ(tables.Find("Dlg_Z"), std::nullopt);
}

// A byte-order mark is no part of the first name; elsewhere it is.
TEST(HelpTopicTablesTest, ALeadingByteOrderMarkIsSkipped) {
  THelpTopicTables tables;
  tables.Load(
      "\xEF\xBB\xBF"
      "Dlg_LegendSetupDialog=10\n\xEF\xBB\xBF"
      "Dlg_B=3\n");
  EXPECT_EQ(tables.Find("Dlg_LegendSetupDialog"), 10);
  EXPECT_EQ(tables.Find("Dlg_B"), std::nullopt);
  EXPECT_EQ(tables.Size(), 2u);
}

TEST(HelpTopicTablesTest, FileNamesAndPages) {
  EXPECT_EQ(ChangeFileExt("C:\\Help\\Strativue.chm", ".id"), "C:\\Help\\Strativue.id");
  EXPECT_EQ(ChangeFileExt("C:\\Help.d\\Strativue", "wth"), "C:\\Help.d\\Strativuewth");
  EXPECT_EQ(BaseNameOf("C:\\Program Files\\Quorvex\\Brelix.dll"), "Brelix");
  EXPECT_EQ(HelpPageOf("Dlg_LegendSetupDialog"), "/Dlg_LegendSetupDialog.htm");
  EXPECT_EQ(HelpPageOf("/x"), "/x.htm");
}

class HelpLookupTest : public ::testing::Test {
 protected:
  // Help files in the test's own folder.
  std::string Help(const std::string& name) const { return machine_.Folder() + "\\" + name; }
  void Write(const std::string& name, const std::string& text) { machine_.WriteFile(Help(name), text); }

  int32_t Lookup(THelpTopicTables& tables, std::string& helpFile, const std::string& key,
                 std::string_view prefix, std::string& topic) {
    return LookupHelpTopic(
        tables, helpFile, key, prefix, topic, [this](const std::string& name) { return Help(name); },
        [this](const std::string& redirect) {
          asked_.push_back(redirect);
          const auto it = modules_.find(redirect.substr(0, redirect.find(':')));
          return it == modules_.end() ? std::string() : it->second;
        });
  }

  TestMachine machine_;
  std::map<std::string, std::string> modules_;
  std::vector<std::string> asked_;
};

TEST_F(HelpLookupTest, PrefixedKeysAndTablesLoadedOnFirstNeed) {
  std::string helpFile = Help("Strativuewth.hlp");
  std::string topic;
  THelpTopicTables tables;
  // No table file yet: nothing found, and the tables stay empty to be tried again.
  EXPECT_EQ(Lookup(tables, helpFile, "chType", "LegendSetupDialog", topic), 0);
  EXPECT_EQ(topic, "Dlg_LegendSetupDialog_chType");
  EXPECT_TRUE(tables.Empty());
  Write("Strativuewth.id", "Dlg_LegendSetupDialog_chType=12\n");
  EXPECT_EQ(Lookup(tables, helpFile, "chType", "LegendSetupDialog", topic), 12);
  EXPECT_EQ(Lookup(tables, helpFile, "Dlg_legendsetupdialog_CHTYPE", "", topic), 12);
  EXPECT_EQ(helpFile, Help("Strativuewth.hlp"));
}

TEST_F(HelpLookupTest, RedirectResolvesThroughTheProvidingModulesOwnTable) {
  Write("Strativue.id", "Dlg_X=5,PCB:Dlg_Y\nDlg_Lost=1,NOWHERE:Dlg_Q\n");
  Write("Brelix.chm", "");
  Write("Brelix.id", "PCB_Dlg_Y=42\n");
  modules_["PCB"] = "C:\\Program Files\\Quorvex\\Brelix.dll";
  std::string helpFile = Help("Strativue.chm");
  std::string topic;
  THelpTopicTables tables;
  EXPECT_EQ(Lookup(tables, helpFile, "Dlg_X", "", topic), 42);
  EXPECT_EQ(topic, "PCB_Dlg_Y");
  EXPECT_EQ(helpFile, Help("Brelix.chm"));
  EXPECT_EQ(asked_, (std::vector<std::string>{"PCB:Dlg_Y"}));

  // A server the host maps to nothing, and a mapped module without a help file.
  helpFile = Help("Strativue.chm");
  EXPECT_EQ(Lookup(tables, helpFile, "Dlg_Lost", "", topic), 0);
  modules_["NOWHERE"] = "Missing.dll";
  EXPECT_EQ(Lookup(tables, helpFile, "Dlg_Lost", "", topic), 0);
}

TEST_F(HelpLookupTest, RedirectCycleEndsWithNothingFound) {
  // Two modules whose tables redirect to each other.
  Write("A.chm", "");
  Write("A.id", "Dlg_Start=0,B:Dlg_Loop\nA_Dlg_Loop=0,B:Dlg_Loop\n");
  Write("B.chm", "");
  Write("B.id", "B_Dlg_Loop=0,A:Dlg_Loop\n");
  modules_["A"] = "A.dll";
  modules_["B"] = "B.dll";
  std::string helpFile = Help("A.chm");
  std::string topic;
  THelpTopicTables tables;
  EXPECT_EQ(Lookup(tables, helpFile, "Dlg_Start", "", topic), 0);
  EXPECT_EQ(asked_.size(), static_cast<std::size_t>(kMaxHelpRedirects));
}

}  // namespace
}  // namespace strativue
