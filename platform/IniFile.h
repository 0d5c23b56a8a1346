// INI files with Windows' rules: section and key names without regard to
// letter case; values trimmed of surrounding blanks and of one pair of
// surrounding quotes; lines starting with ';' are comments; the first of
// duplicate sections and of duplicate keys wins. Files are UTF-8; a missing
// file reads as empty. No function here throws.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The parsed text of one INI file. Editing keeps every other line as it was.
class IniText {
 public:
  IniText() = default;
  explicit IniText(std::string_view text);

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
  // The whole value as a decimal integer (optional sign, nothing else);
  // `defaultValue` when missing or not such a number or out of 32-bit range.
  int32_t GetInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
  bool HasSection(std::string_view section) const;
  bool HasKey(std::string_view section, std::string_view key) const;
  // Names as written, in file order, duplicates left out.
  std::vector<std::string> Sections() const;
  std::vector<std::string> Keys(std::string_view section) const;

  // Changes one value (adding the key, and the section, when missing). False
  // with *error for names or values that a line cannot hold (line breaks, a
  // ']' in a section name, '=' in a key, an empty key).
  bool Set(std::string_view section, std::string_view key, std::string_view value,
           std::string* error = nullptr);
  // Removes the first occurrence of a key; true when it was there.
  bool RemoveKey(std::string_view section, std::string_view key);
  // Removes the first occurrence of a section with its keys.
  bool RemoveSection(std::string_view section);

  // The text with the changes. Every line read keeps its own line break (or
  // none, at the end); lines added take the first line's ("\r\n" for a new
  // file).
  std::string ToString() const;

 private:
  struct Line {
    std::string raw;
    std::string eol;  // "\r\n", "\n", a lone "\r" at the very end, or none
    enum Kind { kOther, kSection, kKey } kind = kOther;
    std::string name;   // section or key name, trimmed
    std::string value;  // key value, trimmed and unquoted
  };
  size_t FindSection(std::string_view section) const;  // index of the header line or npos
  size_t SectionEnd(size_t header) const;              // index after the section's last line
  size_t FindKey(size_t header, std::string_view key) const;
  void Insert(size_t at, Line line);
  void Erase(size_t first, size_t last);

  std::vector<Line> lines_;
  std::string newline_ = "\r\n";
};

// Whole-file operations on a Windows path (MapPath).
// Loading fails only when the file exists and cannot be read.
bool LoadIniFile(std::string_view windowsPath, IniText* ini, std::string* error = nullptr);
// The text LoadIniFile would parse (empty for a missing file), by the same rules.
bool ReadIniFileText(std::string_view windowsPath, std::string* text, std::string* error = nullptr);
// Writes atomically; the folder must exist.
bool SaveIniFile(std::string_view windowsPath, const IniText& ini, std::string* error = nullptr);

// Windows' profile functions on a Windows path.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::string_view windowsPath);
// Changes one value and keeps the rest of the file; creates the file (not
// its folder) when missing. A nil value (std::nullopt) removes the key.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::optional<std::string_view> value, std::string_view windowsPath,
                               std::string* error = nullptr);

}  // namespace platform
