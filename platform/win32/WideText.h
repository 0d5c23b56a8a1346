// UTF-8 text of the platform's interface to and from the UTF-16 text of the
// system's W functions.
#pragma once

#include <string>
#include <string_view>

#include "platform/WideString.h"

namespace platform {

inline std::wstring WideText(std::string_view text) {
  const std::u16string wide = Utf8ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

inline std::string NarrowText(std::wstring_view text) {
  return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

}  // namespace platform
