// Reading the text files a user names: whole and byte for byte, or refused
// with the path and the reason.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "boardtext/TextFile.h"

namespace boardtext {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("boardtext-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  std::filesystem::path folder_;
};

TEST_F(TextFileTest, ReadsEveryByteAsWritten) {
  const std::string text = std::string("line\r\n\0tail\xff", 12) + std::string(200000, 'x');
  std::string error;
  EXPECT_EQ(ReadTextFile(Write("a.txt", text), "a script", &error), text);
  EXPECT_EQ(ReadTextFile(Write("empty.txt", ""), "a script", &error), "");
}

TEST_F(TextFileTest, RefusesWhatIsNoReadableFileNamingThePath) {
  std::string error;
  const std::string missing = (folder_ / "missing.txt").string();
  EXPECT_FALSE(ReadTextFile(missing, "a script", &error));
  EXPECT_EQ(error, missing + ": cannot be read");
  EXPECT_FALSE(ReadTextFile(folder_.string(), "a script", &error));
  EXPECT_EQ(error, folder_.string() + ": is a folder, not a file");
  EXPECT_FALSE(ReadTextFile(missing, "a script", nullptr)) << "the reason is optional";
}

TEST_F(TextFileTest, RefusesMoreThanTheBoundFromAFileOrAnEndlessDevice) {
  const std::string big = (folder_ / "big.txt").string();
  std::ofstream(big, std::ios::binary).put('x');
  std::filesystem::resize_file(big, kMaxTextFileSize + 1);
  std::string error;
  EXPECT_FALSE(ReadTextFile(big, "a board file", &error));
  EXPECT_THAT(error, StartsWith(big + ": is larger than"));
  EXPECT_THAT(error, HasSubstr("not a board file"));

  std::filesystem::resize_file(big, kMaxTextFileSize);
  const auto whole = ReadTextFile(big, "a board file", &error);
  ASSERT_TRUE(whole) << error;
  EXPECT_EQ(whole->size(), kMaxTextFileSize) << "the bound itself is allowed";

  EXPECT_FALSE(ReadTextFile("/dev/zero", "a script", &error));
  EXPECT_THAT(error, StartsWith("/dev/zero: is larger than"));
}

TEST_F(TextFileTest, AsOnDiskReadsARegularFileOfAnySizeButBoundsADevice) {
  const std::string big = (folder_ / "big.txt").string();
  std::ofstream(big, std::ios::binary) << "head";
  std::filesystem::resize_file(big, kMaxTextFileSize + 4096);
  std::string error;
  const auto whole = ReadTextFile(big, "a board file", &error, FileSize::AsOnDisk);
  ASSERT_TRUE(whole) << error;
  EXPECT_EQ(whole->size(), kMaxTextFileSize + 4096);
  EXPECT_EQ(whole->substr(0, 4), "head");

  EXPECT_FALSE(ReadTextFile("/dev/zero", "a board file", &error, FileSize::AsOnDisk));
  EXPECT_EQ(error, "/dev/zero: is larger than 64 MiB; not a board file");
}

}  // namespace
}  // namespace boardtext
