#include "host/quorvex/UserActions.h"

#include <algorithm>
#include <limits>
#include <sstream>
#include <string_view>

#include "boardtext/ScriptText.h"
#include "boardtext/TextFile.h"

namespace quorvex::cli {
namespace {

constexpr int64_t kDefaultWidth = 6000 * kMil;
constexpr int64_t kDefaultHeight = 4000 * kMil;
constexpr int64_t kGapBesideContents = 500 * kMil;

std::string Point(int64_t x, int64_t y) { return std::to_string(x) + "," + std::to_string(y); }

}  // namespace

int32_t Clamp32(int64_t value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

std::string BuildDragScript(BoardPoint corner, BoardPoint drag, int32_t steps, bool cancel,
                            const std::string& setup) {
  std::string script = "corner " + Point(corner.x, corner.y) + "\n";
  const int64_t dx = int64_t{drag.x} - corner.x;
  const int64_t dy = int64_t{drag.y} - corner.y;
  for (int64_t i = 1; i <= steps; ++i)
    script += "move " + Point(corner.x + dx * i / steps, corner.y + dy * i / steps) + "\n";
  if (!setup.empty()) script += "setup " + setup + "\n";
  script += "move " + Point(drag.x, drag.y) + "\n";
  script += cancel ? "escape\n" : "click\n";
  return script;
}

std::string ReadScriptFile(const std::string& path) {
  std::string error;
  std::optional<std::string> script = boardtext::ReadTextFile(path, "a script", &error);
  if (!script) throw InputError(error);
  // Checked here, naming the file: the editor takes the script as a C string.
  if (const std::string problem = boardtext::ScriptTextProblem(*script); !problem.empty())
    throw InputError(path + ": " + problem);
  return std::move(*script);
}

void DefaultRectangle(const std::vector<BoardBox>& contents, BoardPoint& corner, BoardPoint& drag) {
  int64_t left = 0;
  int64_t bottom = 0;
  if (!contents.empty()) {
    int64_t right = std::numeric_limits<int64_t>::min();
    bottom = std::numeric_limits<int64_t>::max();
    for (const BoardBox& box : contents) {
      right = std::max({right, box.x1, box.x2});
      bottom = std::min({bottom, box.y1, box.y2});
    }
    // On a whole mil, so that the legend's sizes come out round.
    left = (right + kGapBesideContents + kMil - 1) / kMil * kMil;
    bottom = bottom / kMil * kMil;
  }
  corner = {Clamp32(left), Clamp32(bottom)};
  drag = {Clamp32(left + kDefaultWidth), Clamp32(bottom + kDefaultHeight)};
}

}  // namespace quorvex::cli
