// quorvex's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "boardtext/KeyNames.h"

namespace quorvex::cli {

// What the user does in the setup dialog each time it opens, before its
// check boxes are set (--dialog-action).
struct DialogAction {
  enum class Kind { Key, HelpButton, Hover } kind = Kind::Key;
  // Key: the key with the modifiers held for it.
  boardtext::KeyChord key;
  // HelpButton and Hover: the control, by name or caption.
  std::string control;
};

// A point in board units, as written on the command line.
struct BoardPoint {
  int32_t x = 0;
  int32_t y = 0;
};

struct Options {
  std::string command = "GenerateCrossSection";
  std::string params;
  std::string machine;  // empty: the default machine root
  bool testMode = false;
  bool trace = false;

  // The board file; empty: no board is opened.
  std::string board;
  // The user's actions: a script file, or the short forms. With neither, a
  // default rectangle beside the board's objects is dragged and clicked.
  std::string script;
  std::optional<BoardPoint> corner;
  std::optional<BoardPoint> drag;
  int32_t steps = 10;
  bool cancel = false;
  // The setup dialog after the drag (`setup LIST` in the built script);
  // empty: not opened.
  std::string setup;
  // Done in the setup dialog at each opening, in order.
  std::vector<DialogAction> dialogActions;
  // Where the setup dialog is drawn when it opens; empty: not at all.
  std::string dialogSvg;
  // The options store fails from this value read (or written) on.
  struct StoreFailure {
    bool write = false;
    int32_t from = 0;
  };
  std::optional<StoreFailure> failStore;
  // Where the board is saved and drawn after the run; empty: not at all.
  std::string out;
  // KiCad boards: the board file itself is the output, the file it replaces
  // kept beside it as NAME-bak.
  bool inPlace = false;
  std::string svg;
  // KiCad boards: the display unit ("metric" or "imperial"; empty: metric)
  // and the layer the legend is written on (empty: Cmts.User).
  std::string unit;
  std::string kicadLayer;
  // The kind of the active document; empty: the board's PCB document, or no
  // view at all without a board.
  std::string active;
};

// The options, or an exit: `exitCode` 0 after --help (the help text is in
// `message`), 2 for bad arguments (a one-line reason in `message`).
struct ParseResult {
  std::optional<Options> options;
  int exitCode = 0;
  std::string message;
};

ParseResult ParseOptions(int argc, const char* const* argv);

// The most steps --steps accepts.
inline constexpr int32_t kMaxSteps = 100000;

}  // namespace quorvex::cli
