#include <gtest/gtest.h>

#include "platform/Locale.h"

namespace {

using platform::CompareTextIgnoreCase;

TEST(Locale, CompareFoldsCaseBeyondAscii) {
  EXPECT_EQ(CompareTextIgnoreCase("GenerateCrossSection", "generatecrosssection"), 0);
  EXPECT_EQ(CompareTextIgnoreCase("\xC3\x89tat", "\xC3\xA9TAT"), 0);  // Étal / étal
  EXPECT_EQ(CompareTextIgnoreCase("\xC5\x81\xC3\xB3"
                                  "d\xC5\xBA",
                                  "\xC5\x82\xC3\x93"
                                  "D\xC5\xB9"),
            0);                                                                                 // Łódź
  EXPECT_EQ(CompareTextIgnoreCase("\xD0\x9C\xD0\xB8\xD1\x80", "\xD0\xBC\xD0\x98\xD0\xA0"), 0);  // Мир
  EXPECT_NE(CompareTextIgnoreCase("e", "\xC3\xA9"), 0);  // accents matter
}

TEST(Locale, CompareOrdersConsistently) {
  EXPECT_LT(CompareTextIgnoreCase("abc", "ABD"), 0);
  EXPECT_GT(CompareTextIgnoreCase("ABD", "abc"), 0);
  EXPECT_LT(CompareTextIgnoreCase("Run", "RUNNER"), 0);
  EXPECT_GT(CompareTextIgnoreCase("runner", "RUN"), 0);
  EXPECT_EQ(CompareTextIgnoreCase("", ""), 0);
  EXPECT_LT(CompareTextIgnoreCase("", "a"), 0);
  // Invalid bytes compare by value and never equal a valid letter.
  EXPECT_NE(CompareTextIgnoreCase("\xFF", "\xC3\xBF"), 0);
  EXPECT_EQ(CompareTextIgnoreCase("a\xFF", "A\xFF"), 0);
}

TEST(Locale, UpperAndLowerCase) {
  EXPECT_EQ(platform::UpperCaseText("c:\\program files\\stra\xC3\x9f"
                                    "e\\"),
            "C:\\PROGRAM FILES\\STRA\xC3\x9F"
            "E\\");
  EXPECT_EQ(platform::UpperCaseText("\xC3\xBF"), "\xC5\xB8");  // ÿ -> Ÿ
  EXPECT_EQ(platform::LowerCaseText("\xC5\xB8"
                                    "ABC"),
            "\xC3\xBF"
            "abc");
}

TEST(Locale, SystemCodePage) {
  EXPECT_EQ(platform::AnsiToUtf8("\x80 \xE9"), "\xE2\x82\xAC \xC3\xA9");
  EXPECT_EQ(platform::Utf8ToAnsi("\xE2\x82\xAC \xC3\xA9"), "\x80 \xE9");
  EXPECT_EQ(platform::Utf8ToAnsi("\xE4\xB8\xAD"), "?");  // not in the code page
  for (int c = 0; c < 256; ++c) {
    const std::string one(1, static_cast<char>(c));
    EXPECT_EQ(platform::Utf8ToAnsi(platform::AnsiToUtf8(one)), one) << c;
  }
}

}  // namespace
