#include "platform/WideString.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/AppendUtf8.h"
#include "platform/FaultPoints.h"

namespace platform {

// The allocation itself is the backend's (WideStringAllocator.cpp).
qvabi::BSTR SysAllocString(const char16_t* text) {
  if (!text) return nullptr;
  size_t length = 0;
  while (text[length] != 0) ++length;
  if (length > kMaxBstrLength) return nullptr;
  return SysAllocStringLen(text, static_cast<uint32_t>(length));
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    char32_t cp = 0;
    size_t extra = 0;
    char32_t minimum = 0;
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F;
      extra = 1;
      minimum = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F;
      extra = 2;
      minimum = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      cp = c & 0x07;
      extra = 3;
      minimum = 0x10000;
    } else {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    size_t j = 1;
    for (; j <= extra && i + j < n && (p[i + j] & 0xC0) == 0x80; ++j) cp = (cp << 6) | (p[i + j] & 0x3F);
    if (j <= extra || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(u'\uFFFD');
      i += j;
      continue;
    }
    i += j;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      out.push_back('?');
      continue;
    }
    AppendUtf8(cp, out);
  }
  return out;
}

BStr::BStr(std::u16string_view text) {
  if (text.size() <= kMaxBstrLength)
    text_ = SysAllocStringLen(text.data(), static_cast<uint32_t>(text.size()));
}

BStr BStr::FromUtf8(std::string_view text) { return BStr(Utf8ToUtf16(text)); }

BStr BStr::Adopt(qvabi::BSTR text) {
  BStr result;
  result.text_ = text;
  return result;
}

BStr::BStr(BStr&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}

BStr& BStr::operator=(BStr&& other) noexcept {
  if (this != &other) {
    SysFreeString(text_);
    text_ = std::exchange(other.text_, nullptr);
  }
  return *this;
}

BStr::~BStr() { SysFreeString(text_); }

qvabi::BSTR* BStr::put() {
  SysFreeString(text_);
  text_ = nullptr;
  return &text_;
}

qvabi::BSTR BStr::release() { return std::exchange(text_, nullptr); }

std::u16string_view BStr::view() const {
  return text_ ? std::u16string_view(text_, SysStringLen(text_)) : u"";
}

std::string BStr::utf8() const { return Utf16ToUtf8(view()); }

std::string BStrToUtf8(qvabi::BSTR text) {
  return Utf16ToUtf8(text ? std::u16string_view(text, SysStringLen(text)) : u"");
}

qvabi::BSTR SysAllocUtf8(std::string_view text) { return BStr::FromUtf8(text).release(); }

}  // namespace platform
