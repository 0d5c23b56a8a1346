#include "platform/IniFile.h"

#include <charconv>
#include <mutex>
#include <unordered_set>

#include "platform/FaultPoints.h"
#include "platform/Locale.h"
#include "platform/Machine.h"

namespace platform {
namespace {

constexpr size_t npos = std::string::npos;

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) { return CompareTextIgnoreCase(a, b) == 0; }

bool IsQuote(char c) { return c == '"' || c == '\''; }

// A value as it must be written to read back unchanged after trimming and
// unquoting.
std::string Encoded(std::string_view value) {
  const bool blankAtEdge = !value.empty() && (value.front() == ' ' || value.front() == '\t' ||
                                              value.back() == ' ' || value.back() == '\t');
  const bool quotedAlready = value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back();
  if (blankAtEdge || quotedAlready) return "\"" + std::string(value) + "\"";
  return std::string(value);
}

bool Fail(std::string* error, std::string message) {
  if (error) *error = std::move(message);
  return false;
}

}  // namespace

IniText::IniText(std::string_view text) {
  const size_t firstBreak = text.find('\n');
  if (firstBreak != npos) newline_ = firstBreak > 0 && text[firstBreak - 1] == '\r' ? "\r\n" : "\n";
  bool first = true;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    Line line;
    // A carriage return before the break, or ending the text, belongs to the
    // break, so that the line reads without it and writes back with it.
    if (!raw.empty() && raw.back() == '\r') {
      raw.remove_suffix(1);
      line.eol = "\r";
    }
    if (end != npos) line.eol += '\n';
    line.raw = std::string(raw);
    std::string_view content = raw;
    if (first && content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
    first = false;
    content = Trim(content);
    if (!content.empty() && content.front() == '[') {
      const size_t close = content.find(']');
      line.kind = Line::kSection;
      line.name = std::string(Trim(content.substr(1, close == npos ? npos : close - 1)));
    } else if (!content.empty() && content.front() != ';' && content.find('=') != npos) {
      const size_t equals = content.find('=');
      line.kind = Line::kKey;
      line.name = std::string(Trim(content.substr(0, equals)));
      std::string_view value = Trim(content.substr(equals + 1));
      if (value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back())
        value = value.substr(1, value.size() - 2);
      line.value = std::string(value);
    }
    lines_.push_back(std::move(line));
    if (end == npos) break;
    text.remove_prefix(end + 1);
  }
}

// A line added after a last line that ends without a full line break (none,
// or a lone carriage return) takes over that ending and gives the line a
// full break, so that the two never run together into one line. A lone
// carriage return becomes "\r\n": the line itself may end in a carriage
// return, which only a break that strips one keeps.
void IniText::Insert(size_t at, Line line) {
  line.eol = newline_;
  if (at == lines_.size() && !lines_.empty() && lines_.back().eol.find('\n') == npos) {
    line.eol = lines_.back().eol;
    lines_.back().eol = line.eol.empty() ? newline_ : "\r\n";
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

// Removing the last lines leaves the line before them with the text's last
// ending. A line that itself ends in a carriage return keeps it only before
// an ending that strips one ("\r\n", or a lone "\r" at the very end).
void IniText::Erase(size_t first, size_t last) {
  if (first == last) return;
  if (last == lines_.size() && first > 0) {
    Line& previous = lines_[first - 1];
    previous.eol = lines_.back().eol;
    if (!previous.raw.empty() && previous.raw.back() == '\r')
      previous.eol = previous.eol.empty() ? "\r" : previous.eol == "\n" ? "\r\n" : previous.eol;
  }
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(first),
               lines_.begin() + static_cast<std::ptrdiff_t>(last));
}

size_t IniText::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == Line::kSection && SameName(lines_[i].name, section)) return i;
  return npos;
}

size_t IniText::SectionEnd(size_t header) const {
  size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Line::kSection) ++i;
  return i;
}

size_t IniText::FindKey(size_t header, std::string_view key) const {
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i)
    if (lines_[i].kind == Line::kKey && SameName(lines_[i].name, key)) return i;
  return npos;
}

std::optional<std::string> IniText::Get(std::string_view section, std::string_view key) const {
  const size_t header = FindSection(section);
  if (header == npos) return std::nullopt;
  const size_t line = FindKey(header, key);
  if (line == npos) return std::nullopt;
  return lines_[line].value;
}

std::string IniText::GetString(std::string_view section, std::string_view key,
                               std::string_view defaultValue) const {
  auto value = Get(section, key);
  return value ? *value : std::string(defaultValue);
}

int32_t IniText::GetInteger(std::string_view section, std::string_view key, int32_t defaultValue) const {
  auto value = Get(section, key);
  if (!value || value->empty()) return defaultValue;
  std::string_view text = *value;
  if (text.front() == '+') text.remove_prefix(1);
  int32_t result = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return defaultValue;
  return result;
}

bool IniText::HasSection(std::string_view section) const { return FindSection(section) != npos; }

bool IniText::HasKey(std::string_view section, std::string_view key) const {
  return Get(section, key).has_value();
}

// Duplicates are told by their upper-case names, as SameName compares them.
std::vector<std::string> IniText::Sections() const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const Line& line : lines_)
    if (line.kind == Line::kSection && seen.insert(UpperCaseText(line.name)).second)
      names.push_back(line.name);
  return names;
}

std::vector<std::string> IniText::Keys(std::string_view section) const {
  std::vector<std::string> names;
  const size_t header = FindSection(section);
  if (header == npos) return names;
  std::unordered_set<std::string> seen;
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i)
    if (lines_[i].kind == Line::kKey && seen.insert(UpperCaseText(lines_[i].name)).second)
      names.push_back(lines_[i].name);
  return names;
}

bool IniText::Set(std::string_view section, std::string_view key, std::string_view value,
                  std::string* error) {
  const auto breaks = [](std::string_view text) { return text.find_first_of("\r\n") != npos; };
  if (breaks(section) || breaks(key) || breaks(value))
    return Fail(error, "an INI line cannot hold a line break");
  if (section.find(']') != npos || Trim(section) != section)
    return Fail(error, "not a valid INI section name: \"" + std::string(section) + "\"");
  if (key.empty() || key.find('=') != npos || Trim(key) != key || key.front() == ';' || key.front() == '[')
    return Fail(error, "not a valid INI key name: \"" + std::string(key) + "\"");
  Line line;
  line.kind = Line::kKey;
  line.value = std::string(value);
  size_t header = FindSection(section);
  if (header == npos) {
    if (!lines_.empty() && !Trim(lines_.back().raw).empty()) Insert(lines_.size(), Line{});
    Line sectionLine;
    sectionLine.kind = Line::kSection;
    sectionLine.name = std::string(section);
    sectionLine.raw = "[" + sectionLine.name + "]";
    Insert(lines_.size(), std::move(sectionLine));
    header = lines_.size() - 1;
  }
  const size_t existing = FindKey(header, key);
  if (existing != npos) {
    Line& target = lines_[existing];
    target.value = line.value;
    target.raw = target.name + "=" + Encoded(value);
    return true;
  }
  line.name = std::string(key);
  line.raw = line.name + "=" + Encoded(value);
  // After the section's last key, so that comments and blank lines closing
  // the section stay after it. The end is found once: a section of many
  // keys must not cost a pass per key.
  size_t at = header + 1;
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i)
    if (lines_[i].kind == Line::kKey) at = i + 1;
  Insert(at, std::move(line));
  return true;
}

bool IniText::RemoveKey(std::string_view section, std::string_view key) {
  const size_t header = FindSection(section);
  if (header == npos) return false;
  const size_t line = FindKey(header, key);
  if (line == npos) return false;
  Erase(line, line + 1);
  return true;
}

bool IniText::RemoveSection(std::string_view section) {
  const size_t header = FindSection(section);
  if (header == npos) return false;
  Erase(header, SectionEnd(header));
  return true;
}

std::string IniText::ToString() const {
  std::size_t size = 0;
  for (const Line& line : lines_) size += line.raw.size() + line.eol.size();
  std::string text;
  text.reserve(size);
  for (const Line& line : lines_) {
    text += line.raw;
    text += line.eol;
  }
  return text;
}

bool ReadIniFileText(std::string_view windowsPath, std::string* text, std::string* error) {
  try {
    if (const auto failure = faults::Check("platform.LoadIniFile")) return Fail(error, *failure);
    if (DirectoryExists(windowsPath))
      return Fail(error, std::string(windowsPath) + " is a folder, not a file");
    text->clear();
    if (!FileExists(windowsPath)) {
      if (MapPath(windowsPath).empty())
        return Fail(error, "not a valid Windows path: " + std::string(windowsPath));
      return true;
    }
    return ReadFile(windowsPath, text, error);
  } catch (...) {
    return Fail(error, "cannot read " + std::string(windowsPath));
  }
}

bool LoadIniFile(std::string_view windowsPath, IniText* ini, std::string* error) {
  try {
    std::string text;
    if (!ReadIniFileText(windowsPath, &text, error)) return false;
    *ini = IniText(text);
    return true;
  } catch (...) {
    return Fail(error, "cannot read " + std::string(windowsPath));
  }
}

bool SaveIniFile(std::string_view windowsPath, const IniText& ini, std::string* error) {
  try {
    return WriteFile(windowsPath, ini.ToString(), error);
  } catch (...) {
    return Fail(error, "cannot write " + std::string(windowsPath));
  }
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::string_view windowsPath) {
  try {
    IniText ini;
    if (!LoadIniFile(windowsPath, &ini)) return std::string(defaultValue);
    return ini.GetString(section, key, defaultValue);
  } catch (...) {
    return std::string(defaultValue);
  }
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::optional<std::string_view> value, std::string_view windowsPath,
                               std::string* error) {
  static std::mutex writing;
  try {
    std::lock_guard lock(writing);
    IniText ini;
    // A file that cannot be read is never replaced: that would lose it.
    if (!LoadIniFile(windowsPath, &ini, error)) return false;
    if (value) {
      if (!ini.Set(section, key, *value, error)) return false;
    } else if (!ini.RemoveKey(section, key)) {
      return true;
    }
    return SaveIniFile(windowsPath, ini, error);
  } catch (...) {
    return Fail(error, "cannot write " + std::string(windowsPath));
  }
}

}  // namespace platform
