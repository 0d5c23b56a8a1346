// Text from files shown on one line: what would split the line, hide part
// of it or is not UTF-8 becomes an escape; every other character stays.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "abi/Utf8.h"

namespace {

TEST(EscapedForLine, ShowsWhatWouldSplitOrHideTheLineAndKeepsTheRest) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"plain text", "plain text"},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {"a\nb\rc\td", "a\\nb\\rc\\td"},
      {std::string("key\0cut", 7), "key\\x00cut"},
      {"\x1b[31m\x7f", "\\x1b[31m\\x7f"},
      {"\xEF\xBB\xBF"
       "corner",
       "\\ufeffcorner"},
      {"a\xE2\x80\x8B"
       "b\xE2\x80\xAE"
       "c",
       "a\\u200bb\\u202ec"},
      {"\xC2\x85\xC2\xAD", "\\u0085\\u00ad"},
      {"\xF3\xA0\x80\x81", "\\U000e0001"},
      {"bad \xC3( \xFF \xED\xA0\x80", "bad \\xc3( \\xff \\xed\\xa0\\x80"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(qvabi::EscapedForLine(text), shown) << shown;
}

TEST(Utf8Length, CountsCharactersAndEachStrayByteAsOne) {
  EXPECT_EQ(qvabi::Utf8Length(""), 0u);
  EXPECT_EQ(qvabi::Utf8Length("\xC3\xA9\xC3\xA9x"), 3u);
  EXPECT_EQ(qvabi::Utf8Length("\xF0\x9F\x98\x80\xFF"), 2u);
}

}  // namespace
