// Wide strings (BSTR) and UTF-8 <-> UTF-16 conversion.
//
// The platform library alone allocates and frees BSTRs, so that every module
// of the process shares one allocator. A BSTR points at zero-terminated UTF-16
// text preceded by a 32-bit byte length; nil is the empty string.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "abi/Types.h"

namespace platform {

// The longest BSTR in characters: its byte length must fit the 32-bit
// prefix, with room for the terminator.
inline constexpr uint32_t kMaxBstrLength = (UINT32_MAX - 2) / 2;

// Allocates a copy of zero-terminated `text` (nil gives nil).
qvabi::BSTR SysAllocString(const char16_t* text);
// Allocates `length` characters copied from `text` (nil text: zero-filled).
qvabi::BSTR SysAllocStringLen(const char16_t* text, uint32_t length);
// Frees a BSTR made by the two functions above; nil is ignored.
void SysFreeString(qvabi::BSTR text);
// Number of characters (not bytes); 0 for nil.
uint32_t SysStringLen(qvabi::BSTR text);

// Conversions; invalid sequences become U+FFFD / '?'.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
// The text of a BSTR (nil: empty) as UTF-8, and a new BSTR holding UTF-8 text.
std::string BStrToUtf8(qvabi::BSTR text);
qvabi::BSTR SysAllocUtf8(std::string_view text);

// Owns one BSTR and frees it at the end of its scope. Use put() for out
// arguments and get() to pass an input string.
class BStr {
 public:
  BStr() = default;
  explicit BStr(std::u16string_view text);
  static BStr FromUtf8(std::string_view text);
  // Takes ownership of a string allocated by SysAllocString*.
  static BStr Adopt(qvabi::BSTR text);
  BStr(const BStr&) = delete;
  BStr& operator=(const BStr&) = delete;
  BStr(BStr&& other) noexcept;
  BStr& operator=(BStr&& other) noexcept;
  ~BStr();

  qvabi::BSTR get() const { return text_; }
  qvabi::BSTR* put();  // frees what is held, hands out the slot
  qvabi::BSTR release();
  std::u16string_view view() const;
  std::string utf8() const;

 private:
  qvabi::BSTR text_ = nullptr;
};

}  // namespace platform
