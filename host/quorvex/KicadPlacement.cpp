#include "host/quorvex/KicadPlacement.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <tuple>

namespace quorvex::cli {
namespace {

// The legend keeps this far from the board's items.
constexpr int64_t kPlacementGap = static_cast<int64_t>(5 * kMillimetre);
// KiCad's drawing sheet: its frame 10 mm inside the paper's edge, and the
// title block in the frame's lower right corner.
constexpr int64_t kSheetMargin = static_cast<int64_t>(10 * kMillimetre);
constexpr int64_t kTitleBlockWidth = static_cast<int64_t>(110 * kMillimetre);
constexpr int64_t kTitleBlockHeight = static_cast<int64_t>(40 * kMillimetre);
// The free-space grid stays within this many cells, however large the sheet.
constexpr double kMostCells = 4e6;

BoardBox Box(const nlohmann::json& value) {
  if (!value.is_array() || value.size() != 4) throw InputError("the editor's placement answer is malformed");
  BoardBox box{value[0].get<int64_t>(), value[1].get<int64_t>(), value[2].get<int64_t>(),
               value[3].get<int64_t>()};
  if (box.x1 > box.x2) std::swap(box.x1, box.x2);
  if (box.y1 > box.y2) std::swap(box.y1, box.y2);
  return box;
}

bool Overlap(const BoardBox& a, const BoardBox& b) {
  return a.x1 < b.x2 && b.x1 < a.x2 && a.y1 < b.y2 && b.y1 < a.y2;
}

bool Inside(const BoardBox& inner, const BoardBox& outer) {
  return inner.x1 >= outer.x1 && inner.x2 <= outer.x2 && inner.y1 >= outer.y1 && inner.y2 <= outer.y2;
}

BoardBox Grown(const BoardBox& b, int64_t by) { return {b.x1 - by, b.y1 - by, b.x2 + by, b.y2 + by}; }

double Distance(const BoardBox& a, const BoardBox& b) {
  const double dx = static_cast<double>(std::max<int64_t>({0, b.x1 - a.x2, a.x1 - b.x2}));
  const double dy = static_cast<double>(std::max<int64_t>({0, b.y1 - a.y2, a.y1 - b.y2}));
  return std::hypot(dx, dy);
}

BoardBox At(int64_t x, int64_t y, int64_t width, int64_t height) { return {x, y, x + width, y + height}; }

// The places beside the board's box `around`: against each of its sides,
// lined up with its edges, the sheet frame's and the title block's. Nearest
// first, then the right side, below, left and above, then the best lined up.
std::optional<BoardBox> Beside(const BoardBox& around, const BoardBox& frame, const BoardBox& titleBlock,
                               int64_t width, int64_t height) {
  const int64_t xs[] = {around.x2,        around.x1 - width,     around.x1,    around.x2 - width, frame.x1,
                        frame.x2 - width, titleBlock.x1 - width, titleBlock.x2};
  const int64_t ys[] = {around.y2 - height, around.y1,         around.y2,     around.y1 - height,
                        frame.y1,           frame.y2 - height, titleBlock.y2, titleBlock.y1 - height};
  std::optional<BoardBox> best;
  std::tuple<double, int, int64_t> bestScore;
  for (const int64_t x : xs)
    for (const int64_t y : ys) {
      const BoardBox place = At(x, y, width, height);
      if (Overlap(place, around) || !Inside(place, frame) || Overlap(place, titleBlock)) continue;
      const int side = place.x1 >= around.x2 ? 0 : place.y2 <= around.y1 ? 1 : place.x2 <= around.x1 ? 2 : 3;
      const int64_t lineUp =
          side % 2 == 0 ? std::llabs(place.y2 - around.y2) : std::llabs(place.x1 - around.x1);
      const std::tuple<double, int, int64_t> score{std::round(Distance(place, around) / kMillimetre), side,
                                                   lineUp};
      if (!best || score < bestScore) {
        best = place;
        bestScore = score;
      }
    }
  return best;
}

// A place inside the frame clear of every obstacle, nearest to `near`: on a
// grid of cells, a cell touched by an obstacle counting as taken.
std::optional<BoardBox> Free(const std::vector<BoardBox>& obstacles, const BoardBox& frame,
                             const BoardBox& near, int64_t width, int64_t height) {
  const double frameWidth = static_cast<double>(frame.x2 - frame.x1);
  const double frameHeight = static_cast<double>(frame.y2 - frame.y1);
  if (frameWidth < static_cast<double>(width) || frameHeight < static_cast<double>(height))
    return std::nullopt;
  const double cell = std::max(kMillimetre, std::sqrt(frameWidth * frameHeight / kMostCells));
  const auto columns = static_cast<std::size_t>(std::ceil(frameWidth / cell));
  const auto rows = static_cast<std::size_t>(std::ceil(frameHeight / cell));
  auto cellOf = [&](int64_t value, int64_t origin, std::size_t count) {
    const double at = std::floor(static_cast<double>(value - origin) / cell);
    return static_cast<std::size_t>(std::clamp(at, 0.0, static_cast<double>(count - 1)));
  };
  // Each obstacle marks the corners of its cells (four writes however large
  // it is); summing the marks gives how many obstacles touch each cell.
  const std::size_t stride = columns + 1;
  std::vector<int32_t> marks((rows + 1) * stride, 0);
  for (const BoardBox& b : obstacles) {
    if (!Overlap(b, frame)) continue;
    const std::size_t c1 = cellOf(b.x1, frame.x1, columns);
    const std::size_t c2 = cellOf(b.x2, frame.x1, columns) + 1;
    const std::size_t r1 = cellOf(b.y1, frame.y1, rows);
    const std::size_t r2 = cellOf(b.y2, frame.y1, rows) + 1;
    marks[r1 * stride + c1] += 1;
    marks[r1 * stride + c2] -= 1;
    marks[r2 * stride + c1] -= 1;
    marks[r2 * stride + c2] += 1;
  }
  // taken[(r + 1) * stride + c + 1]: the taken cells in rows 0..r, columns 0..c.
  std::vector<int32_t> taken((rows + 1) * stride, 0);
  std::vector<int32_t> row(columns, 0);
  for (std::size_t r = 0; r < rows; ++r) {
    int32_t across = 0;
    int32_t count = 0;
    for (std::size_t c = 0; c < columns; ++c) {
      across += marks[r * stride + c];
      row[c] += across;
      count += row[c] > 0 ? 1 : 0;
      taken[(r + 1) * stride + c + 1] = taken[r * stride + c + 1] + count;
    }
  }
  const auto spanColumns = static_cast<std::size_t>(std::ceil(static_cast<double>(width) / cell));
  const auto spanRows = static_cast<std::size_t>(std::ceil(static_cast<double>(height) / cell));
  std::optional<BoardBox> best;
  double bestDistance = 0;
  for (std::size_t r = 0; r + spanRows <= rows; ++r)
    for (std::size_t c = 0; c + spanColumns <= columns; ++c) {
      const int64_t inside = int64_t{taken[(r + spanRows) * stride + c + spanColumns]} -
                             taken[r * stride + c + spanColumns] - taken[(r + spanRows) * stride + c] +
                             taken[r * stride + c];
      if (inside != 0) continue;
      const BoardBox place =
          At(frame.x1 + static_cast<int64_t>(static_cast<double>(c) * cell),
             frame.y1 + static_cast<int64_t>(static_cast<double>(r) * cell), width, height);
      if (!Inside(place, frame)) continue;
      const double distance = Distance(place, near);
      if (!best || distance < bestDistance) {
        best = place;
        bestDistance = distance;
      }
    }
  return best;
}

}  // namespace

BoardPoint LegendPlace::Corner() const { return {Clamp32(box.x1), Clamp32(box.y1)}; }
BoardPoint LegendPlace::Drag() const { return {Clamp32(box.x2), Clamp32(box.y2)}; }

KicadSheet ParseKicadSheet(const std::string& json) {
  const nlohmann::json value = nlohmann::json::parse(json, nullptr, false);
  if (!value.is_object() || !value.contains("items") || !value["items"].is_array())
    throw InputError("the editor's placement answer is malformed");
  KicadSheet sheet;
  sheet.sheet = Box(value["sheet"]);
  for (const nlohmann::json& item : value["items"]) sheet.items.push_back(Box(item));
  if (value.contains("outline") && !value["outline"].is_null()) sheet.outline = Box(value["outline"]);
  if (value.contains("legend") && !value["legend"].is_null()) sheet.legend = Box(value["legend"]);
  return sheet;
}

LegendPlace PlaceKicadLegend(const KicadSheet& sheet, int64_t width, int64_t height) {
  if (sheet.legend) return {*sheet.legend, true};
  const BoardBox frame = Grown(sheet.sheet, -kSheetMargin);
  const BoardBox titleBlock{frame.x2 - kTitleBlockWidth, frame.y1, frame.x2, frame.y1 + kTitleBlockHeight};
  if (sheet.items.empty()) {
    // An empty board: the sheet frame's upper left corner.
    const BoardBox place = At(frame.x1, frame.y2 - height, width, height);
    return {place, Inside(place, frame)};
  }
  BoardBox all = sheet.items.front();
  for (const BoardBox& b : sheet.items)
    all = {std::min(all.x1, b.x1), std::min(all.y1, b.y1), std::max(all.x2, b.x2), std::max(all.y2, b.y2)};
  const BoardBox around = Grown(all, kPlacementGap);
  if (const auto place = Beside(around, frame, titleBlock, width, height)) return {*place, true};
  std::vector<BoardBox> obstacles;
  obstacles.reserve(sheet.items.size() + 2);
  for (const BoardBox& b : sheet.items) obstacles.push_back(Grown(b, kPlacementGap));
  if (sheet.outline) obstacles.push_back(Grown(*sheet.outline, kPlacementGap));
  obstacles.push_back(titleBlock);
  if (const auto place = Free(obstacles, frame, sheet.outline.value_or(all), width, height))
    return {*place, true};
  return {At(around.x2, around.y2 - height, width, height), false};
}

}  // namespace quorvex::cli
