// Locale services: the case-insensitive comparison the host's tables use, and
// the system code page (Windows-1252) conversions.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Compares two UTF-8 texts after folding letter case (ASCII, Latin-1,
// Latin Extended-A, Greek and Cyrillic letters); <0, 0 or >0. Invalid UTF-8
// bytes compare by their value.
int CompareTextIgnoreCase(std::string_view a, std::string_view b);
// The UTF-8 text with letters folded to upper case by the same rules.
std::string UpperCaseText(std::string_view text);
std::string LowerCaseText(std::string_view text);

// The system code page (Windows-1252) to and from UTF-8; characters the code
// page lacks become '?'.
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view text);

}  // namespace platform
