// The drawing pass: places the frame, the header and every shown cell for the
// sizes of the latest layout, writing the table top down with a pen; and the
// display of everything shown.
#include "plugin/LayerStackupLegend.h"
#include "plugin/LegendArithmetic.h"
#include "plugin/RTL/PcbApi.h"

namespace strativue {
namespace {

using legend::Clamp32;
using legend::Round32;

// Below this many body text heights in the rectangle, the table starts half
// a line lower.
constexpr double kHalfLineShiftBelow = 25.0;

int32_t Plus(int32_t a, int64_t b) { return Clamp32(int64_t{a} + b); }

}  // namespace

void TLegendStackup::Draw() {
  Board->LoadBoard(qvabi::ReadMode);
  PenX = X1;
  PenY = Y2;
  TitlePlaced = false;
  if (RowSlots() <= 0) return;
  DrawFrame();
  DrawHeader();
  if (ExtDielectrics) DrawTopMaskRow();
  for (const std::unique_ptr<TLegendRow>& row : Rows) {
    DrawLayerCells(*row, BodyTextSize, BodyStrokeWidth);
    // The last row (the one without a dielectric below) ends the table.
    if (row->HasDielectricTexts()) {
      DrawDielectricCells(*row, true, BodyTextSize, BodyStrokeWidth);
      NewLine();
    }
  }
  if (ExtDielectrics) DrawBottomMaskRow();
}

void TLegendStackup::NewLine() {
  PenX = Plus(X1, Margin);
  PenY = Plus(PenY, -int64_t{RowHeight});
}

void TLegendStackup::DrawFrame() {
  const int32_t r = BodyTextSize;
  const int32_t left = Plus(X1, r);
  const int32_t right = Plus(X2, -int64_t{r});
  const int32_t bottom = Plus(Y1, r);
  const int32_t top = Plus(Y2, -int64_t{r});
  PlaceTrack(*FrameBottom, left, Y1, right, Y1);
  PlaceTrack(*FrameTop, left, Y2, right, Y2);
  PlaceTrack(*FrameLeft, X1, bottom, X1, top);
  PlaceTrack(*FrameRight, X2, bottom, X2, top);
  PlaceArc(*CornerUpperRight, right, top, r);
  PlaceArc(*CornerUpperLeft, left, top, r);
  PlaceArc(*CornerLowerLeft, left, bottom, r);
  PlaceArc(*CornerLowerRight, right, bottom, r);
}

// A rectangle too small for its header band leaves no room above the upper
// separator and gives a title size of zero or less: the title is then not
// placed, shown or kept (see TitlePlaced), rather than handing the editor a
// text of no size.
void TLegendStackup::DrawHeader() {
  const int32_t halfLine = LineWidth / 2;
  const int32_t left = Plus(X1, Margin);
  const int32_t right = Plus(X2, -int64_t{Margin});

  PenX = left;
  const int32_t yLow = Clamp32(int64_t{Y2} - HeadBand + halfLine);
  PlaceTrack(*HeaderBottomLine, left, yLow, right, yLow);

  PenY = Clamp32(int64_t{yLow} + Round32(HeaderTextSize * 0.6) + halfLine);
  DrawLayerCells(*ColumnHeaderRow, HeaderTextSize, HeaderStrokeWidth);
  DrawDielectricCells(*ColumnHeaderRow, false, HeaderTextSize, HeaderStrokeWidth);

  PenX = left;
  PenY = Plus(PenY, 2 * int64_t{HeaderTextSize});
  DrawLayerCells(*GroupHeaderRow, HeaderTextSize, HeaderStrokeWidth);
  DrawDielectricCells(*GroupHeaderRow, false, HeaderTextSize, HeaderStrokeWidth);

  const int32_t yHigh = Clamp32(int64_t{PenY} + Round32(HeaderTextSize * 1.5) + halfLine);
  PenY = yHigh;
  PlaceTrack(*HeaderTopLine, left, yHigh, right, yHigh);

  const int64_t space = int64_t{Y2} - (int64_t{yHigh} + LineWidth);
  const int64_t titleChars = static_cast<int64_t>(Title->Text.length());
  TitleTextSize = SnapToGrid(Min(RoundHalfEven(static_cast<double>(space) * 0.4),
                                 static_cast<double>(InnerWidth / (titleChars + 1))));
  TitleStrokeWidth = SnapToGrid(TitleTextSize / 6);
  TitlePlaced = TitleTextSize > 0;
  if (TitlePlaced)
    PlaceText(*Title, left, Clamp32(int64_t{Y2} - Round32(TitleTextSize * 0.8) - space / 2), TitleTextSize,
              TitleStrokeWidth);

  PenY = Clamp32(int64_t{Y2} - HeadBand);
  if (BodyTextSize > 0 && static_cast<double>(RectHeight) / BodyTextSize < kHalfLineShiftBelow)
    PenY = Plus(PenY, -int64_t{RowHeight / 2});
  NewLine();
}

void TLegendStackup::SkipColumn(int column) { PenX = Plus(PenX, int64_t{ColumnGap} + ColumnWidths[column]); }

void TLegendStackup::PlaceCell(TPcbText& text, int column, int32_t size, int32_t stroke) {
  PlaceText(text, PenX, PenY, size, stroke);
  SkipColumn(column);
}

void TLegendStackup::DrawLayerCells(TLegendRow& row, int32_t size, int32_t stroke) {
  PlaceCell(*row.NameText, kNameColumn, size, stroke);
  if (Gerbers) PlaceCell(*row.GerberText, kGerberColumn, size, stroke);
  if (CopperHeight) PlaceCell(*row.CopperText, kCopperColumn, size, stroke);
}

void TLegendStackup::DrawDielectricCells(TLegendRow& row, bool newLine, int32_t size, int32_t stroke) {
  if (!row.HasDielectricTexts()) return;
  if (newLine) {
    NewLine();
    SkipColumn(kNameColumn);
    if (Gerbers) SkipColumn(kGerberColumn);
    if (CopperHeight) SkipColumn(kCopperColumn);
  }
  if (DielHeight) PlaceCell(*row.HeightText, kHeightColumn, size, stroke);
  if (Material) PlaceCell(*row.MaterialText, kMaterialColumn, size, stroke);
  if (Constant) PlaceCell(*row.ConstantText, kConstantColumn, size, stroke);
  if (Type) PlaceCell(*row.TypeText, kTypeColumn, size, stroke);
}

// A mask row has no copper cell; its column stays empty.
void TLegendStackup::DrawMaskCells(TLegendRow& row) {
  PlaceCell(*row.NameText, kNameColumn, BodyTextSize, BodyStrokeWidth);
  if (Gerbers) PlaceCell(*row.GerberText, kGerberColumn, BodyTextSize, BodyStrokeWidth);
  if (CopperHeight) SkipColumn(kCopperColumn);
  DrawDielectricCells(row, false, BodyTextSize, BodyStrokeWidth);
}

void TLegendStackup::DrawTopMaskRow() {
  DrawMaskCells(*TopMaskRow);
  NewLine();
  NewLine();
}

void TLegendStackup::DrawBottomMaskRow() {
  NewLine();
  NewLine();
  DrawMaskCells(*BottomMaskRow);
}

void TLegendStackup::PlaceText(TPcbText& text, int32_t x, int32_t y, int32_t size, int32_t stroke) {
  ChangePrimitive(text, Board->CurrentLayer, [&](TPCBObject&) {
    text.X = x;
    text.Y = y;
    text.Size = size;
    text.Width = stroke;
  });
}

void TLegendStackup::PlaceTrack(TPcbTrack& track, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  ChangePrimitive(track, Board->CurrentLayer, [&](TPCBObject&) {
    track.X = x1;
    track.Y = y1;
    track.X2 = x2;
    track.Y2 = y2;
    track.Width = LineWidth;
  });
}

void TLegendStackup::PlaceArc(TPcbArc& arc, int32_t x, int32_t y, int32_t radius) {
  ChangePrimitive(arc, Board->CurrentLayer, [&](TPCBObject&) {
    arc.X = x;
    arc.Y = y;
    arc.Width = LineWidth;
    arc.Radius = radius;
  });
}

void TLegendStackup::DisplayRow(const TLegendRow& row, uint8_t mode, bool isMaskRow) {
  const auto show = [mode](const std::unique_ptr<TPcbText>& text) {
    if (text && text->Handle != 0) PcbApi::ScreenDisplay(text->Handle, mode, qvabi::ToByteBool(true));
  };
  show(row.NameText);
  if (Gerbers) show(row.GerberText);
  if (CopperHeight && !isMaskRow) show(row.CopperText);
  if (!row.HasDielectricTexts()) return;
  if (Type) show(row.TypeText);
  if (DielHeight) show(row.HeightText);
  if (Material) show(row.MaterialText);
  if (Constant) show(row.ConstantText);
}

void TLegendStackup::Display(uint8_t mode) {
  const auto show = [mode](const TPCBObject& object) {
    if (object.Handle != 0) PcbApi::ScreenDisplay(object.Handle, mode, qvabi::ToByteBool(true));
  };
  show(*FrameTop);
  show(*FrameBottom);
  show(*FrameLeft);
  show(*FrameRight);
  show(*CornerUpperRight);
  show(*CornerUpperLeft);
  show(*CornerLowerLeft);
  show(*CornerLowerRight);
  for (const std::unique_ptr<TLegendRow>& row : Rows) DisplayRow(*row, mode, false);
  if (ExtDielectrics) {
    DisplayRow(*TopMaskRow, mode, true);
    DisplayRow(*BottomMaskRow, mode, true);
  }
  DisplayRow(*GroupHeaderRow, mode, false);
  DisplayRow(*ColumnHeaderRow, mode, false);
  show(*HeaderTopLine);
  show(*HeaderBottomLine);
  if (TitlePlaced) show(*Title);
}

}  // namespace strativue
