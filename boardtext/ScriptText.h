// What the editor and the host agree on about the text of input scripts and
// of the points in them: which bytes are blanks, and what text is refused
// before any action is looked at. Header-only, so that the command-line
// host checks a script file by the very rules the editor runs it by.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "abi/Utf8.h"

namespace boardtext {

// The blanks trimmed around lines, words and coordinates: space, tab,
// carriage return, line feed, vertical tab and form feed.
inline constexpr std::string_view kScriptBlanks = " \t\r\n\v\f";

inline std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kScriptBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kScriptBlanks) - first + 1);
}

// Why `text` cannot be a script as text, "line N: reason", or empty: a NUL
// byte (a C string would silently end there) or bytes that are not UTF-8.
inline std::string ScriptTextProblem(std::string_view text) {
  const std::size_t nul = text.find('\0');
  const std::size_t invalid = qvabi::Utf8InvalidAt(text);
  const std::size_t at = nul < invalid ? nul : invalid;
  if (at >= text.size()) return {};
  std::size_t line = 1;
  for (std::size_t i = 0; i < at; ++i) line += text[i] == '\n' ? 1 : 0;
  return "line " + std::to_string(line) + ": " + (at == nul ? "holds a NUL byte" : "is not UTF-8 text");
}

}  // namespace boardtext
