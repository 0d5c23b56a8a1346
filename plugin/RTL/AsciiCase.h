// ASCII letter case, as the host's parameter and file names compare it:
// other bytes, UTF-8 ones included, stay as they are.
#pragma once

#include <cstddef>
#include <string_view>

namespace strativue {

inline char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Equal ignoring the case of the ASCII letters a-z only; every other byte
// (accented letters included) must match exactly.
inline bool IsSameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

}  // namespace strativue
