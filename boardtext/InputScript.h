// Input scripts: the user's actions on a board, one per line.
//   corner X,Y | move X,Y | setup LIST | setup cancel | key KEYS | click | escape | # comment
// `key` lines follow a `setup` line: keys pressed in the dialog it opens.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "boardtext/KeyNames.h"
#include "boardtext/Lengths.h"

namespace boardtext {

struct ScriptAction {
  enum class Kind { Corner, Move, Setup, Click, Escape };
  Kind kind = Kind::Click;
  Point point;           // Corner, Move
  std::string argument;  // Setup: "cancel", "all", "none" or the option list as written
  // Setup: the keys of the `key` lines after it, pressed in the dialog once
  // its check boxes are set and before it is closed as the list says.
  std::vector<KeyChord> keys;
  int line = 0;
};

// A script that cannot be run; what() is "line N: reason".
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The seven setup option names, in the legend's order.
const std::vector<std::string>& SetupOptionNames();

// Parses a whole script, its points written as `coordinates` says; throws
// ScriptError at the first bad line.
std::vector<ScriptAction> ParseScript(std::string_view text, Coordinates coordinates = Coordinates::Board);
// The script with its points, written as `coordinates` says, rewritten in
// board units and every other line as it was; ScriptError as ParseScript.
std::string WithBoardPoints(std::string_view text, Coordinates coordinates);

}  // namespace boardtext
