// UTF-8 text at the boundaries: cutting to a byte limit without splitting a
// character, and finding or replacing what is not UTF-8. Every module that
// stores, writes or shows text it did not make itself uses these.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace abi {

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

}  // namespace abi
