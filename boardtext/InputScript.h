// Input scripts: the user's actions on a board, one per line.
//   corner X,Y | move X,Y | setup LIST | setup cancel | click | escape | # comment
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "boardtext/Lengths.h"

namespace boardtext {

struct ScriptAction {
  enum class Kind { Corner, Move, Setup, Click, Escape };
  Kind kind = Kind::Click;
  Point point;           // Corner, Move
  std::string argument;  // Setup: "cancel", "all", "none" or the option list as written
  int line = 0;
};

// A script that cannot be run; what() is "line N: reason".
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The seven setup option names, in the legend's order.
const std::vector<std::string>& SetupOptionNames();

// Parses a whole script; throws ScriptError at the first bad line.
std::vector<ScriptAction> ParseScript(std::string_view text);

}  // namespace boardtext
