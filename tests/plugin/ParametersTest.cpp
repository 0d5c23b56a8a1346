#include <gtest/gtest.h>

#include <string>

#include "plugin/RTL/Parameters.h"

using namespace strativue;

namespace {

class ParametersTest : public ::testing::Test {
 protected:
  void SetUp() override { FreeProcessParameters(); }
  void TearDown() override { FreeProcessParameters(); }

  static std::string Lookup(const char* parameters, const char* name, bool expectFound = true) {
    std::string value = "stale";
    EXPECT_EQ(GetParameterValue(parameters, name, value), expectFound) << parameters << " / " << name;
    return value;
  }
};

TEST_F(ParametersTest, NamesMatchIgnoringAsciiCaseOnly) {
  EXPECT_EQ(Lookup("CopperHeight=True|Gerbers=False", "gerbers"), "False");
  EXPECT_EQ(Lookup("CopperHeight=True|Gerbers=False", "COPPERHEIGHT"), "True");
  // Letters outside a-z are compared exactly: an accented capital is not its
  // lower-case form.
  EXPECT_EQ(Lookup("\xC9tat=1", "\xE9tat", false), "");
  EXPECT_EQ(Lookup("\xC9tat=1", "\xC9TAT"), "1");
}

TEST_F(ParametersTest, PiecesAreTrimmedAroundNameAndValue) {
  EXPECT_EQ(Lookup(" Type = True ", "Type"), "True");
  EXPECT_EQ(Lookup("\tA\t=\t x \t|B=2", "A"), "x");
  // The looked-up name loses control characters at its ends, not spaces.
  EXPECT_EQ(Lookup("Type=1", "\tType\r\n"), "1");
  EXPECT_EQ(Lookup("Type=1", " Type", false), "");
}

TEST_F(ParametersTest, OnlyTheFirstEqualsSignSeparates) {
  EXPECT_EQ(Lookup("A=1=2", "A"), "1=2");
  EXPECT_EQ(Lookup("A==", "A"), "=");
  EXPECT_EQ(Lookup("A=", "A"), "");
}

TEST_F(ParametersTest, PiecesWithoutNameOrEqualsAddNothing) {
  EXPECT_EQ(Lookup("Flag|B=2", "Flag", false), "");
  EXPECT_EQ(Lookup("Flag|B=2", "B"), "2");
  EXPECT_EQ(Lookup("=5|C=3", "C"), "3");
  EXPECT_EQ(Lookup("=5|C=3", "", false), "");
  EXPECT_EQ(Lookup("  =5||C=3|", "C"), "3");
  ASSERT_NE(ProcessParameterList(), nullptr);
  EXPECT_EQ(ProcessParameterList()->Count(), 1);
}

TEST_F(ParametersTest, DuplicatesStayAndTheFirstWins) {
  EXPECT_EQ(Lookup("X=1|X=2|x=3", "X"), "1");
  ASSERT_NE(ProcessParameterList(), nullptr);
  ASSERT_EQ(ProcessParameterList()->Count(), 3);
  EXPECT_EQ((*ProcessParameterList())[2].Name, "x");
  EXPECT_EQ((*ProcessParameterList())[2].Value, "3");
}

TEST_F(ParametersTest, EmptyOrNilStringsAnswerFalseWithoutTouchingTheCache) {
  EXPECT_EQ(Lookup(nullptr, "A", false), "");
  EXPECT_EQ(Lookup("", "A", false), "");
  EXPECT_EQ(ParameterParseCount(), 0);
  EXPECT_EQ(ProcessParameterList(), nullptr);

  Lookup("A=1", "A");
  Lookup("", "A", false);
  Lookup("A=1", "A");
  EXPECT_EQ(ParameterParseCount(), 1);
}

TEST_F(ParametersTest, EachDistinctStringIsParsedOnce) {
  std::string parameters = "A=1|B=2";
  Lookup(parameters.c_str(), "A");
  Lookup(parameters.c_str(), "B");
  EXPECT_EQ(ParameterParseCount(), 1);

  // Same bytes at another address: still cached.
  const std::string copy = parameters;
  Lookup(copy.c_str(), "A");
  EXPECT_EQ(ParameterParseCount(), 1);

  // The caller changes its buffer in place: the cache holds a copy, so the
  // change is seen and parsed.
  parameters[2] = '7';
  EXPECT_EQ(Lookup(parameters.c_str(), "A"), "7");
  EXPECT_EQ(ParameterParseCount(), 2);

  EXPECT_EQ(Lookup("C=3", "A", false), "");
  EXPECT_EQ(Lookup("C=3", "C"), "3");
  EXPECT_EQ(ParameterParseCount(), 3);
}

TEST_F(ParametersTest, ShortFormCutsTheValueAndAlwaysOverwrites) {
  const std::string longValue(300, 'v');
  const std::string parameters = "Long=" + longValue + "|Short=ok";
  qvabi::ShortString value;
  ASSERT_TRUE(GetParameterValueShort(parameters.c_str(), "Long", value));
  EXPECT_EQ(value.length(), 255u);
  EXPECT_EQ(value.str(), longValue.substr(0, 255));

  EXPECT_FALSE(GetParameterValueShort(parameters.c_str(), "Missing", value));
  EXPECT_EQ(value.length(), 0u);

  ASSERT_TRUE(GetParameterValueShort(parameters.c_str(), "short", value));
  EXPECT_EQ(value.str(), "ok");
}

TEST_F(ParametersTest, FreeingForgetsListAndCache) {
  Lookup("A=1", "A");
  FreeProcessParameters();
  EXPECT_EQ(ProcessParameterList(), nullptr);
  Lookup("A=1", "A");
  EXPECT_EQ(ParameterParseCount(), 1);
}

TEST_F(ParametersTest, ParsingIntoAGivenListKeepsOrder) {
  TParameterList list;
  ParseParameters(" b = 2 |a=1|b=3", list);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[0].Name, "b");
  EXPECT_EQ(list[0].Value, "2");
  EXPECT_EQ(list[1].Name, "a");
  ParseParameters(nullptr, list);
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
