// The legend's layout: every size follows from the rectangle, the number of
// table lines and the column measurements, recomputed on each cursor move.
#include <cstdlib>
#include <string>

#include "platform/WideString.h"
#include "plugin/LayerStackupLegend.h"
#include "plugin/LegendArithmetic.h"
#include "plugin/RTL/HostClient.h"

namespace strativue {
namespace {

using legend::Clamp32;
using legend::Round32;

// The smallest text size and stroke: 1 mil.
constexpr int32_t kMinTextValue = 10000;
constexpr int32_t kMinMargin = 600000;
constexpr int32_t kMaxPad = 2000000;
// 0.05 mm in board units.
constexpr double kMetricGrid = 2500000.0 / 127.0;
constexpr double kImperialGrid = 10000.0;

double SpacingFactor(int32_t columnCount) {
  if (columnCount <= 1) return 0.0;
  if (columnCount <= 3) return 0.3;
  if (columnCount <= 5) return 0.5;
  return 0.6;
}

}  // namespace

void TLegendStackup::PlaceAt(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  X1 = Min(x0, x1);
  Y1 = Min(y0, y1);
  X2 = Max(x0, x1);
  Y2 = Max(y0, y1);
  RefreshTexts();
  ComputeGeometry();
  ComputeColumnGap();
  ShowStatusTexts();
  Draw();
}

void TLegendStackup::ComputeGeometry() {
  RectWidth = Clamp32(std::llabs(int64_t{X2} - X1));
  RectHeight = Clamp32(std::llabs(int64_t{Y2} - Y1));
  ComputeBands();
  ComputeTextSizes();
}

void TLegendStackup::ComputeBands() {
  const int32_t slots = RowSlots();
  const double f = Max(0.15, Min(0.4, 2.0 / (slots + 2)));
  HeadBand = Round32(RectHeight * f);
  Margin = Max(kMinMargin, RectWidth / 100);
  Pad = Min(kMaxPad, HeadBand / 2);
  PadLow = Pad / 2;
  PadHigh = Pad / 2;
  InnerWidth = Clamp32(int64_t{RectWidth} - 2 * int64_t{Margin});
  BodyHeight = Clamp32(int64_t{RectHeight} - HeadBand - PadLow - PadHigh);
  // Without a single line there is nothing to divide the body among (an
  // empty stack walk with the mask rows off).
  RowHeight = slots > 0 ? BodyHeight / (2 * slots) : 0;
}

void TLegendStackup::ComputeTextSizes() {
  const int32_t lineChars = LineChars();
  const int32_t t =
      Min(static_cast<int32_t>(InnerWidth / (int64_t{lineChars} + 1)), Round32(RowHeight * 0.5));
  HeaderTextSize = Max(SnapToGrid(t), kMinTextValue);
  HeaderStrokeWidth = Max(SnapToGrid(HeaderTextSize * 0.17), kMinTextValue);
  BodyTextSize = Max(SnapToGrid(RoundHalfEven(HeaderTextSize * 1.4)), kMinTextValue);
  BodyStrokeWidth = Max(SnapToGrid(BodyTextSize * 0.17), kMinTextValue);
  LineWidth = SnapToGrid(BodyStrokeWidth);
}

void TLegendStackup::ComputeColumnGap() {
  ColumnGap = BodyTextSize;
  const int32_t columns = ColumnCount();
  if (columns >= 2)
    ColumnGap = Clamp32((int64_t{InnerWidth} - int64_t{CharSum()} * BodyTextSize) / (columns - 1));
}

int32_t TLegendStackup::SnapToGrid(double value) const {
  const double grid = Board && Board->Unit() == BoardUnit::Imperial ? kImperialGrid : kMetricGrid;
  return Round32(RoundHalfEven(value / grid) * grid);
}

int32_t TLegendStackup::RowSlots() const { return RowCount + (ExtDielectrics ? 2 : 0); }

int32_t TLegendStackup::ColumnCount() const {
  return 1 + CopperHeight + Type + Gerbers + DielHeight + Material + Constant;
}

int32_t TLegendStackup::CharSum() const {
  int64_t sum = 0;
  for (const int32_t chars : ColumnChars) sum += chars;
  return Clamp32(sum);
}

int32_t TLegendStackup::LineChars() const {
  const int32_t columns = Round32((1.0 + SpacingFactor(ColumnCount())) * CharSum());
  const auto title = Title ? static_cast<int32_t>(Title->Text.length()) : 0;
  return Max(columns, title);
}

void TLegendStackup::ShowStatusTexts() {
  const BoardUnit unit = Board->Unit();
  std::string text = "Table Text Height: ";
  text += FormatLength(BodyTextSize, unit);
  text += " Track/TextLine Width: ";
  text += FormatLength(BodyStrokeWidth, unit);
  SetStatusText(2, platform::Utf8ToUtf16(text));
  text = "Rectangle Height: ";
  text += FormatLength(RectHeight, unit);
  text += " Width: ";
  text += FormatLength(RectWidth, unit);
  SetStatusText(3, platform::Utf8ToUtf16(text));
}

}  // namespace strativue
