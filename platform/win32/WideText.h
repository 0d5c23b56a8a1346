// Text between the platform's interface (UTF-8) and the system's W functions
// (UTF-16), for the Win32 backend only.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/WideString.h"
#include "platform/win32/WindowsApi.h"

namespace platform {

inline std::wstring WideText(std::string_view text) {
  const std::u16string wide = Utf8ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

inline std::string NarrowText(std::wstring_view text) {
  return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

// Text from a system function that fills a buffer and answers the length it
// wrote, or (when it did not fit) the size it needs or the whole buffer's;
// empty when it answers 0.
template <typename Fill>
std::string FilledText(Fill&& fill) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 8; ++attempt) {
    const DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return NarrowText(std::wstring_view(buffer.data(), length));
    buffer.resize(std::max<size_t>(length + 1, buffer.size() * 2));
  }
  return {};
}

// The system's description of an error code on one line, without the closing
// full stop ("error N" when the system has none).
inline std::string SystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = length ? NarrowText(std::wstring_view(buffer, length)) : std::string();
  if (buffer) ::LocalFree(buffer);
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  while (!text.empty() && (text.back() == ' ' || text.back() == '.')) text.pop_back();
  return text.empty() ? "error " + std::to_string(code) : text;
}

}  // namespace platform
