// UTF-8 text at the boundaries: cutting to a byte limit without splitting a
// character, and finding or replacing what is not UTF-8. Every module that
// stores, writes or shows text it did not make itself uses these.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qvabi {

// The length of the longest start of `text` that has at most `maxBytes`
// bytes and does not end inside a UTF-8 character: a cut text stays valid
// UTF-8 when it was. Bytes that are not UTF-8 are cut anywhere.
constexpr std::size_t Utf8CutLength(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  auto continuation = [&](std::size_t i) { return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80; };
  // A character has at most three continuation bytes after its lead byte.
  std::size_t lead = maxBytes;
  while (lead > 0 && maxBytes - lead < 3 && continuation(lead)) --lead;
  return continuation(lead) ? maxBytes : lead;
}

// The length of the well-formed UTF-8 sequence at text[at] (1 to 4), or 0
// when it is not one: overlong forms, surrogates and code points above
// U+10FFFF are not.
constexpr std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
  auto byte = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
  const unsigned lead = byte(at);
  auto inRange = [&](std::size_t i, unsigned low, unsigned high) {
    return byte(i) >= low && byte(i) <= high;
  };
  if (lead < 0x80) return at < text.size() ? 1 : 0;
  if (lead >= 0xC2 && lead <= 0xDF) return inRange(at + 1, 0x80, 0xBF) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    const unsigned low = lead == 0xE0 ? 0xA0 : 0x80;
    const unsigned high = lead == 0xED ? 0x9F : 0xBF;
    return inRange(at + 1, low, high) && inRange(at + 2, 0x80, 0xBF) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const unsigned low = lead == 0xF0 ? 0x90 : 0x80;
    const unsigned high = lead == 0xF4 ? 0x8F : 0xBF;
    return inRange(at + 1, low, high) && inRange(at + 2, 0x80, 0xBF) && inRange(at + 3, 0x80, 0xBF) ? 4 : 0;
  }
  return 0;
}

// The offset of the first byte that does not start a well-formed character,
// or text.size() when all of it is UTF-8.
constexpr std::size_t Utf8InvalidAt(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t length = Utf8SequenceLength(text, at);
    if (length == 0) return at;
    at += length;
  }
  return at;
}

// `text` with every byte that does not start a well-formed character
// replaced by U+FFFD.
inline std::string ToValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t length = Utf8SequenceLength(text, at);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++at;
    } else {
      out.append(text.substr(at, length));
      at += length;
    }
  }
  return out;
}

// The number of characters of UTF-8 `text`; a byte that does not start a
// well-formed character counts as one.
constexpr std::size_t Utf8Length(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); ++count) {
    const std::size_t length = Utf8SequenceLength(text, at);
    at += length == 0 ? 1 : length;
  }
  return count;
}

// Characters that show nothing, or nothing of their own, where text is
// shown: C1 controls, format characters (zero widths, direction marks,
// the byte-order mark), separators and fillers that look like nothing.
constexpr bool IsInvisibleCodePoint(char32_t c) {
  return (c >= 0x80 && c <= 0x9F) || c == 0xAD || c == 0x34F || c == 0x61C || c == 0x115F || c == 0x1160 ||
         c == 0x17B4 || c == 0x17B5 || (c >= 0x180B && c <= 0x180F) || (c >= 0x200B && c <= 0x200F) ||
         (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) || c == 0x3164 ||
         (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF || c == 0xFFA0 || (c >= 0xFFF0 && c <= 0xFFFB) ||
         (c >= 0xE0000 && c <= 0xE0FFF);
}

// `text` fit for one line of a message: line breaks, tabs and other control
// characters as escapes (\n, \r, \t, \xHH), bytes that are not UTF-8 as
// \xHH, invisible characters as a backslash, "u" and four hexadecimal
// digits (a capital "U" and eight beyond U+FFFF), so that a value from a
// file can neither split a message nor hide part of it.
inline std::string EscapedForLine(std::string_view text) {
  static constexpr char kDigits[] = "0123456789abcdef";
  const auto hex = [](std::string& out, char32_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 15];
  };
  std::string line;
  line.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    const std::size_t length = Utf8SequenceLength(text, at);
    if (byte >= 0x20 && byte < 0x7F) {
      line += text[at];
    } else if (byte == '\n') {
      line += "\\n";
    } else if (byte == '\r') {
      line += "\\r";
    } else if (byte == '\t') {
      line += "\\t";
    } else if (length <= 1) {
      line += "\\x";
      hex(line, byte, 2);
    } else {
      char32_t c = byte & (0x7F >> length);
      for (std::size_t i = 1; i < length; ++i)
        c = (c << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
      if (!IsInvisibleCodePoint(c)) {
        line.append(text.substr(at, length));
      } else {
        line += c > 0xFFFF ? "\\U" : "\\u";
        hex(line, c, c > 0xFFFF ? 8 : 4);
      }
      at += length;
      continue;
    }
    ++at;
  }
  return line;
}

}  // namespace qvabi
