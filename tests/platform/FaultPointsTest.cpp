#include <gtest/gtest.h>

#include "platform/FaultPoints.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "platform/WideString.h"

namespace {

namespace faults = platform::faults;

class FaultPoints : public ::testing::Test {
 protected:
  void SetUp() override { faults::Clear(); }
  void TearDown() override { faults::Clear(); }
};

// Outcome of `calls` consecutive calls of `point`: 'x' failed, '.' went on.
std::string Pattern(std::string_view point, int calls) {
  std::string outcome;
  for (int i = 0; i < calls; ++i) outcome += faults::ShouldFail(point) ? 'x' : '.';
  return outcome;
}

TEST_F(FaultPoints, RulesSelectTheNthCallOrEveryCallOfMatchingPoints) {
  faults::Arm({"editor.CreateObject", 3, {}});
  faults::Arm({"host.*", 0, {}});
  EXPECT_EQ(Pattern("editor.CreateObject", 5), "..x..");
  EXPECT_EQ(Pattern("editor.QueryBoard", 3), "...");
  EXPECT_EQ(Pattern("host.GetKind", 2), "xx");
  EXPECT_EQ(Pattern("hostile.Call", 1), ".");

  // The count goes on across rules: re-arming does not restart it.
  faults::Arm({"editor.CreateObject", 7, {}});
  EXPECT_EQ(Pattern("editor.CreateObject", 3), ".x.");

  faults::Disarm("host.*");
  EXPECT_EQ(Pattern("host.GetKind", 1), ".");
  const auto counts = faults::Counts();
  ASSERT_EQ(counts.size(), 4u);  // in name order
  EXPECT_EQ(counts[0].point, "editor.CreateObject");
  EXPECT_EQ(counts[0].calls, 8);
  EXPECT_EQ(counts[2].point, "host.GetKind");
  EXPECT_EQ(counts[2].calls, 3);
}

// An unarmed call is not counted (it costs one atomic read); ResetCounts
// counts every call, armed or not, until Clear, and a rule's Nth call is the
// Nth counted one.
TEST_F(FaultPoints, CallsAreCountedWhileARuleIsArmedOrAfterResetCountsUntilClear) {
  EXPECT_EQ(Pattern("editor.QueryBoard", 2), "..");
  EXPECT_TRUE(faults::Counts().empty());

  faults::ResetCounts();
  EXPECT_EQ(Pattern("editor.QueryBoard", 2), "..");
  faults::Arm({"editor.QueryBoard", 4, {}});
  EXPECT_EQ(Pattern("editor.QueryBoard", 3), ".x.");
  faults::Disarm("editor.QueryBoard");
  EXPECT_EQ(Pattern("editor.QueryBoard", 1), ".");
  auto counts = faults::Counts();
  ASSERT_EQ(counts.size(), 1u);
  EXPECT_EQ(counts[0].calls, 6);

  faults::Clear();
  EXPECT_EQ(Pattern("editor.QueryBoard", 1), ".");
  EXPECT_TRUE(faults::Counts().empty());

  faults::Arm({"editor.QueryBoard", 2, {}});
  EXPECT_EQ(Pattern("editor.QueryBoard", 2), ".x");
  faults::Disarm("editor.QueryBoard");
  EXPECT_EQ(Pattern("editor.QueryBoard", 2), "..");
  counts = faults::Counts();
  ASSERT_EQ(counts.size(), 1u);
  EXPECT_EQ(counts[0].calls, 2);
  // The description is built only for a call that fails.
  faults::Arm({"editor.QueryBoard", 0, {}});
  EXPECT_EQ(faults::Check("editor.QueryBoard"), "Injected failure at editor.QueryBoard");
  EXPECT_EQ(faults::Check("editor.QueryLayer"), std::nullopt);
}

TEST_F(FaultPoints, ConfigureReadsTheEnvironmentSyntaxOrArmsNothing) {
  std::string error;
  ASSERT_TRUE(faults::Configure(" platform.LoadIniFile@2 , toolkit.* ", &error)) << error;
  EXPECT_EQ(Pattern("platform.LoadIniFile", 3), ".x.");
  EXPECT_EQ(Pattern("toolkit.ShowModal", 1), "x");

  faults::Clear();
  for (const char* bad : {"editor.QueryBoard@0", "editor.QueryBoard@x", "ed*tor", "a,@3", "b@3@4"}) {
    EXPECT_FALSE(faults::Configure(std::string("host.GetKind,") + bad, &error)) << bad;
    EXPECT_NE(error.find("fault rule"), std::string::npos) << error;
  }
  EXPECT_EQ(Pattern("host.GetKind", 1), ".");  // the valid first entry was not armed either
}

TEST_F(FaultPoints, PlatformCallsAnswerTheirDocumentedFailures) {
  faults::Arm({"platform.SysAllocString", 0, {}});
  EXPECT_EQ(platform::SysAllocString(u"text"), nullptr);
  faults::Arm({"platform.RegOpenKeyEx", 0, {}});
  platform::HKEY key = 1;
  EXPECT_EQ(platform::RegOpenKeyEx(platform::HKEY_CURRENT_USER, "Software", 0, platform::KEY_READ, &key),
            platform::ERROR_ACCESS_DENIED);
  EXPECT_EQ(key, 0u);
  faults::Arm({"platform.LoadIniFile", 0, "disk unplugged"});
  platform::IniText ini;
  std::string error;
  EXPECT_FALSE(platform::LoadIniFile("C:\\Windows\\any.ini", &ini, &error));
  EXPECT_EQ(error, "disk unplugged");
}

}  // namespace
