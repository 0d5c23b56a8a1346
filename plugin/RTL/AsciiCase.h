// ASCII letter case, as the host's parameter and file names compare it:
// other bytes, UTF-8 ones included, stay as they are.
#pragma once

namespace strativue {

inline char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace strativue
