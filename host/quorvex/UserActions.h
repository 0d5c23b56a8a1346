// The user's actions during a run, as the editor's input script: read from
// a script file, or built from the short options, or a default drag.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "boardtext/KeyNames.h"
#include "host/quorvex/Options.h"

namespace quorvex::cli {

// An input that cannot be used; what() is the one-line reason.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `corner A`, a `move` to each of the `steps` points on the way from A to B
// (point i is A + (B - A) * i / steps, truncated), `setup LIST` when `setup`
// is not empty, one more `move B`, then `click`, or `escape` when cancelling.
std::string BuildDragScript(BoardPoint corner, BoardPoint drag, int32_t steps, bool cancel,
                            const std::string& setup = {});

// Queues what a script's `setup LIST` (already checked by the editor) does
// in the setup dialog about to open: leave exactly the listed check boxes
// checked ("all", "none"), press the keys of its `key` lines, and press OK;
// or press the keys and Cancel ("cancel").
void QueueSetupChoice(std::string_view list, const std::vector<boardtext::KeyChord>& keys = {});

// The script file's text. Raises InputError when the file cannot be read.
std::string ReadScriptFile(const std::string& path);

// Board units in a mil and in a millimetre.
inline constexpr int64_t kMil = 10000;
inline constexpr double kMillimetre = 1e8 / 254;

// A coordinate held to the 32 bits of a BoardPoint.
int32_t Clamp32(int64_t value);

// A bounding rectangle in board units.
struct BoardBox {
  int64_t x1 = 0;
  int64_t y1 = 0;
  int64_t x2 = 0;
  int64_t y2 = 0;
};

// Where the legend goes when the user gave no corner: a 6000 x 4000 mil
// rectangle at the origin on an empty board, else 500 mil to the right of
// everything on it, level with its bottom. `corner` and `drag` receive the
// two corners.
void DefaultRectangle(const std::vector<BoardBox>& contents, BoardPoint& corner, BoardPoint& drag);

}  // namespace quorvex::cli
