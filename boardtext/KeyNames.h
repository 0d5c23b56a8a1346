// Keys as people write them in scripts and on the command line: a key name
// with the modifier keys held for it, "Alt+Y", "Y", "Shift+Tab", "Ctrl+F1".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace boardtext {

struct KeyChord {
  int virtualKey = 0;  // the Windows virtual-key code
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  friend bool operator==(const KeyChord&, const KeyChord&) = default;
};

// Modifiers Shift+, Ctrl+ and Alt+ (each once, any order) before one of the
// keys a dialog user presses: a letter A to Z, a digit, F1, Space or Tab;
// names without regard to letter case. nullopt, with the reason in `why`,
// for anything else.
std::optional<KeyChord> ParseKeyChord(std::string_view text, std::string* why);

}  // namespace boardtext
