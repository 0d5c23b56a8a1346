#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Machine.h"
#include "plugin/LegendOptions.h"
#include "plugin/RTL/Parameters.h"
#include "tests/TestMachine.h"

using namespace strativue;

namespace {

// The legacy settings file the plug-in reads, spelt in another letter case
// as a Windows machine may have it.
constexpr const char* kLegacyFile = "C:\\WINDOWS\\Vemtro.INI";

class LegendOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.IsolateFile(kLegacyFile);
    FreeProcessParameters();
  }
  void TearDown() override { FreeProcessParameters(); }

  std::filesystem::path WriteLegacyFile(const std::string& text) {
    machine_.WriteFile(kLegacyFile, text);
    return machine_.Native(kLegacyFile);
  }

  TestMachine machine_;
};

TLegendOptions Options(int copper, int type, int gerbers, int height, int material, int constant, int ext) {
  return TLegendOptions{static_cast<qvabi::ByteBool>(copper),   static_cast<qvabi::ByteBool>(type),
                        static_cast<qvabi::ByteBool>(gerbers),  static_cast<qvabi::ByteBool>(height),
                        static_cast<qvabi::ByteBool>(material), static_cast<qvabi::ByteBool>(constant),
                        static_cast<qvabi::ByteBool>(ext)};
}

TEST_F(LegendOptionsTest, ParametersTurnOnExactlyTheTrueOnes) {
  EXPECT_EQ(ParseOptionParameters("Type=true|Gerbers=TRUE"), Options(0, 1, 1, 0, 0, 0, 0));
  EXPECT_EQ(ParseOptionParameters("CopperHeight=True|DielHeight=True|Material=True|Constant=True"),
            Options(1, 0, 0, 1, 1, 1, 0));
  // "1", an empty value and anything else turn a flag off.
  EXPECT_EQ(ParseOptionParameters("Type=1|Gerbers=|Material=yes|Constant= True "),
            Options(0, 0, 0, 0, 0, 1, 0));
}

TEST_F(LegendOptionsTest, ParametersNeverSetExternalDielectrics) {
  EXPECT_EQ(ParseOptionParameters("ExtDielectrics=True"), TLegendOptions::AllOff());
  EXPECT_EQ(ParseOptionParameters("Unrelated=True|Other=1"), TLegendOptions::AllOff());
}

TEST_F(LegendOptionsTest, ParametersDoNotReadTheLegacyFile) {
  WriteLegacyFile("[SETTINGS]\r\nType=1\r\n");
  EXPECT_EQ(ParseOptionParameters("Unrelated=True"), TLegendOptions::AllOff());
}

TEST_F(LegendOptionsTest, NoLegacyFileGivesNothing) { EXPECT_FALSE(ReadLegacySettings().has_value()); }

TEST_F(LegendOptionsTest, LegacyKeysDefaultToOn) {
  WriteLegacyFile("[SETTINGS]\r\n");
  EXPECT_EQ(ReadLegacySettings(), TLegendOptions::AllOn());
  WriteLegacyFile("[Other]\r\nType=0\r\n");
  EXPECT_EQ(ReadLegacySettings(), TLegendOptions::AllOn());
}

TEST_F(LegendOptionsTest, LegacyValuesAreReadAsIntegers) {
  WriteLegacyFile(
      "[settings]\r\n"
      "CopperHeight=0\r\n"
      "Type=2\r\n"
      "Gerbers=False\r\n"
      "DielHeight= 0 \r\n"
      "Material=-1\r\n"
      "Constant=0x\r\n"
      "EXTDIELECTRICS=0\r\n");
  EXPECT_EQ(ReadLegacySettings(), Options(0, 1, 1, 0, 1, 1, 0));
}

TEST_F(LegendOptionsTest, LegacyFileIsNeverWritten) {
  const std::filesystem::path path = WriteLegacyFile("[SETTINGS]\nType=0\n");
  const auto before = std::filesystem::last_write_time(path);
  ReadLegacySettings();
  EXPECT_EQ(std::filesystem::last_write_time(path), before);
  std::ifstream in(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "[SETTINGS]\nType=0\n");
}

TEST_F(LegendOptionsTest, GarbageInTheLegacyFileCountsAsOn) {
  WriteLegacyFile("\x01\xff garbage\nno equals sign\n[SETTINGS]\nCopperHeight=99999999999\n=5\nType=0\n");
  const std::optional<TLegendOptions> options = ReadLegacySettings();
  ASSERT_TRUE(options.has_value());
  EXPECT_EQ(options->CopperHeight, 1);
  EXPECT_EQ(options->Type, 0);
}

}  // namespace
