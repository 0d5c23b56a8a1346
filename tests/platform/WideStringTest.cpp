#include <gtest/gtest.h>

#include <cstring>

#include "platform/WideString.h"

using platform::BStr;

TEST(WideString, PrefixHoldsByteLengthAndTextIsTerminated) {
  const char16_t text[] = u"ab\0cd";
  qvabi::BSTR s = platform::SysAllocStringLen(text, 5);
  ASSERT_NE(s, nullptr);
  uint32_t prefix = 0;
  std::memcpy(&prefix, reinterpret_cast<const char*>(s) - 4, 4);
  EXPECT_EQ(prefix, 10u);
  EXPECT_EQ(platform::SysStringLen(s), 5u);
  EXPECT_EQ(std::u16string_view(s, 5), std::u16string_view(text, 5));
  EXPECT_EQ(s[5], u'\0');
  platform::SysFreeString(s);
}

TEST(WideString, AllocationEdges) {
  EXPECT_EQ(platform::SysAllocString(nullptr), nullptr);
  EXPECT_EQ(platform::SysStringLen(nullptr), 0u);
  platform::SysFreeString(nullptr);

  qvabi::BSTR zeroed = platform::SysAllocStringLen(nullptr, 3);
  ASSERT_NE(zeroed, nullptr);
  EXPECT_EQ(std::u16string_view(zeroed, 4), std::u16string_view(u"\0\0\0\0", 4));
  platform::SysFreeString(zeroed);

  qvabi::BSTR stopsAtZero = platform::SysAllocString(u"x\0y");
  EXPECT_EQ(platform::SysStringLen(stopsAtZero), 1u);
  platform::SysFreeString(stopsAtZero);

  // A length whose byte count, with the terminator's two bytes, overflows
  // the 32-bit prefix is refused, from the first such length on.
  static_assert(uint64_t{platform::kMaxBstrLength} * 2 + 2 <= UINT32_MAX);
  EXPECT_EQ(platform::SysAllocStringLen(nullptr, platform::kMaxBstrLength + 1), nullptr);
  EXPECT_EQ(platform::SysAllocStringLen(nullptr, 0x80000000u), nullptr);
}

TEST(WideString, Utf8RoundTripsEveryPlane) {
  const std::string text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";  // A é € 😀 z
  const std::u16string wide = platform::Utf8ToUtf16(text);
  EXPECT_EQ(wide, u"A\u00E9\u20AC\U0001F600z");
  EXPECT_EQ(platform::Utf16ToUtf8(wide), text);
}

TEST(WideString, InvalidSequencesAreReplaced) {
  EXPECT_EQ(platform::Utf8ToUtf16("a\xFF"
                                  "b"),
            u"a\uFFFDb");
  EXPECT_EQ(platform::Utf8ToUtf16("\xC3"), u"\uFFFD");                          // cut short
  EXPECT_EQ(platform::Utf8ToUtf16("\xC0\xAF"), u"\uFFFD");                      // overlong
  EXPECT_EQ(platform::Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");                  // encoded surrogate
  EXPECT_EQ(platform::Utf16ToUtf8(std::u16string(1, u'\xD800') + u"x"), "?x");  // lone surrogate
}

TEST(WideString, BStrOwnsAndHandsOver) {
  BStr a = BStr::FromUtf8("h\xC3\xA9llo");
  EXPECT_EQ(a.view(), u"h\u00E9llo");
  EXPECT_EQ(a.utf8(), "h\xC3\xA9llo");

  BStr b = std::move(a);
  EXPECT_EQ(a.get(), nullptr);
  EXPECT_EQ(b.view(), u"h\u00E9llo");

  qvabi::BSTR raw = b.release();
  EXPECT_EQ(b.get(), nullptr);
  BStr c = BStr::Adopt(raw);
  EXPECT_EQ(c.get(), raw);

  *c.put() = platform::SysAllocString(u"new");
  EXPECT_EQ(c.view(), u"new");
  EXPECT_EQ(BStr().view(), u"");
}
