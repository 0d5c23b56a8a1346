#include "boardtext/KeyNames.h"

#include <cctype>

namespace boardtext {
namespace {

constexpr int kVkTab = 0x09;
constexpr int kVkSpace = 0x20;
constexpr int kVkF1 = 0x70;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::optional<int> KeyCode(const std::string& name) {
  if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') return name[0] - 'a' + 'A';
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return name[0];
  if (name == "f1") return kVkF1;
  if (name == "space") return kVkSpace;
  if (name == "tab") return kVkTab;
  return std::nullopt;
}

}  // namespace

std::optional<KeyChord> ParseKeyChord(std::string_view text, std::string* why) {
  const auto refuse = [&](const std::string& reason) -> std::optional<KeyChord> {
    if (why != nullptr) *why = reason;
    return std::nullopt;
  };
  KeyChord chord;
  std::string rest = Lower(text);
  for (auto plus = rest.find('+'); plus != std::string::npos && plus + 1 < rest.size();
       plus = rest.find('+')) {
    const std::string modifier = rest.substr(0, plus);
    bool* held = modifier == "shift"  ? &chord.shift
                 : modifier == "ctrl" ? &chord.ctrl
                 : modifier == "alt"  ? &chord.alt
                                      : nullptr;
    if (held == nullptr || *held)
      return refuse("\"" + std::string(text) + "\": \"" + modifier +
                    "\" is not Shift, Ctrl or Alt, or is named twice");
    *held = true;
    rest.erase(0, plus + 1);
  }
  const std::optional<int> code = KeyCode(rest);
  if (!code)
    return refuse("\"" + std::string(text) +
                  "\" is not a key: a letter, a digit, F1, Space or Tab, after Shift+, Ctrl+ or Alt+");
  chord.virtualKey = *code;
  return chord;
}

}  // namespace boardtext
