// The stack-up legend: a framed table of the board's layer stack made of
// editor primitives (texts, tracks, arcs). The legend creates every primitive
// once, lays them out for the rectangle the user drags, shows them, and when
// it is destroyed either hands them to the board (Committed) or destroys them.
//
// The implementation is split by concern:
//   LayerStackupLegend.cpp  construction, options, commit, release, destructor
//   LegendTexts.cpp         cell texts and column measurements
//   LegendLayout.cpp        PlaceAt, the sizes computed from the rectangle and
//                           ShowStatusTexts (the status-bar panels)
//   LegendDrawing.cpp       placing every primitive, Display
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "abi/Types.h"
#include "plugin/LegendOptions.h"
#include "plugin/RTL/Layers.h"
#include "plugin/RTL/PcbBoard.h"
#include "plugin/RTL/PcbObjects.h"

namespace strativue {

// Columns of the measurements, in the order of ColumnChars and ColumnWidths.
// (The board shows them as name, Gerber, copper, height, material, constant,
// type.)
enum LegendColumn : int {
  kNameColumn = 0,
  kCopperColumn = 1,
  kGerberColumn = 2,
  kTypeColumn = 3,
  kMaterialColumn = 4,
  kHeightColumn = 5,
  kConstantColumn = 6,
  kLegendColumnCount = 7
};

// A cell's text with the board value it was made from, so that a refresh
// formats a value again only when it changed.
struct TFormattedCell {
  bool Made = false;
  uint64_t Source = 0;
  std::string Text;
};

// One line of the table. A stack row describes a layer and the dielectric
// below it; the last stack row has no dielectric below it and holds null for
// the four dielectric texts. Header and solder-mask rows hold all seven.
struct TLegendRow {
  // Id of the stack layer; 0 for header and solder-mask rows.
  TLayerId LayerId = kNoLayer;
  std::unique_ptr<TPcbText> NameText;
  std::unique_ptr<TPcbText> CopperText;
  std::unique_ptr<TPcbText> GerberText;
  std::unique_ptr<TPcbText> TypeText;
  std::unique_ptr<TPcbText> MaterialText;
  std::unique_ptr<TPcbText> HeightText;
  std::unique_ptr<TPcbText> ConstantText;
  // The formatted numbers of the copper, height and constant cells.
  TFormattedCell CopperFormat;
  TFormattedCell HeightFormat;
  TFormattedCell ConstantFormat;

  bool HasDielectricTexts() const { return TypeText && MaterialText && HeightText && ConstantText; }
  // The text of a column (LegendColumn); null where the row has none.
  std::unique_ptr<TPcbText>& Cell(int column);
  const std::unique_ptr<TPcbText>& Cell(int column) const;
};

// Every field is readable; only the legend's own operations write them,
// except Committed, which the placement handler sets and clears.
class TLegendStackup {
 public:
  // Loads the board, takes the options (nullptr: ImportLegacySettings),
  // creates every primitive as a free editor object, fills the texts and
  // computes the geometry for an empty rectangle at the origin. When it
  // fails half way, the editor objects made so far are destroyed.
  TLegendStackup(qvabi::PcbHandle boardHandle, const TLegendOptions* options);
  // Commit when Committed, then Release, then frees the wrappers. Never
  // raises.
  ~TLegendStackup();
  TLegendStackup(const TLegendStackup&) = delete;
  TLegendStackup& operator=(const TLegendStackup&) = delete;

  // --- Options --------------------------------------------------------------
  // The legacy settings file's flags, when the file exists; else unchanged.
  void ImportLegacySettings();
  // Copies the seven flags, nothing else.
  void SetOptions(const TLegendOptions& options);
  // SetOptions, then RefreshTexts. Lays nothing out.
  void ApplyOptions(const TLegendOptions& options);
  TLegendOptions Options() const;

  // --- Texts (LegendTexts.cpp) ----------------------------------------------
  // Rewrites every shown cell from the board data and remeasures the columns.
  void RefreshTexts();
  // "GTL", "GBL", "G<n>" for mid layers, "GP<n>" for planes (advancing
  // their counter), empty for any other id.
  std::string GerberExtension(TLayerId layerId);
  // "Core" (0, 1), "PrePreg" (2), empty for 3 and for unknown codes.
  static std::string_view DielectricTypeText(uint8_t typeCode);
  // Takes the text as the column's measurement when it is longer than the
  // longest so far; header words are scaled by 1.4.
  void MeasureCell(TPcbText& text, int column, bool scaled);

  // --- Layout (LegendLayout.cpp) --------------------------------------------
  // Lays the legend out for the rectangle of the two corners, in any order:
  // texts, sizes, status bar, placement of every primitive. Creates and
  // destroys no editor object.
  void PlaceAt(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
  // Sizes only, from X1..Y2 and the current measurements.
  void ComputeGeometry();
  void ComputeBands();
  void ComputeTextSizes();
  void ComputeColumnGap();
  // The nearest multiple of 1 mil (imperial) or 0.05 mm (metric).
  int32_t SnapToGrid(double value) const;
  // Stack rows plus the two mask rows when they are shown.
  int32_t RowSlots() const;
  // The name column plus one per shown optional column (1 to 7).
  int32_t ColumnCount() const;
  // The sum of the seven ColumnChars.
  int32_t CharSum() const;
  // Characters of the widest line: the columns with their spacing, or the
  // title when it is longer.
  int32_t LineChars() const;

  // --- Drawing (LegendDrawing.cpp) ------------------------------------------
  // Places every shown primitive for the current sizes.
  void Draw();
  // Asks the editor to show every shown primitive.
  void Display(uint8_t mode);

  // --- Fields, in the legend's record order ---------------------------------
  std::unique_ptr<TPcbBoard> Board;
  std::unique_ptr<TPcbTrack> FrameTop;
  std::unique_ptr<TPcbTrack> FrameBottom;
  std::unique_ptr<TPcbTrack> FrameLeft;
  std::unique_ptr<TPcbTrack> FrameRight;
  std::unique_ptr<TPcbArc> CornerLowerLeft;
  std::unique_ptr<TPcbArc> CornerLowerRight;
  std::unique_ptr<TPcbArc> CornerUpperLeft;
  std::unique_ptr<TPcbArc> CornerUpperRight;
  std::unique_ptr<TPcbText> Title;
  // One per stack layer, top layer first.
  std::vector<std::unique_ptr<TLegendRow>> Rows;
  std::unique_ptr<TLegendRow> TopMaskRow;
  std::unique_ptr<TLegendRow> BottomMaskRow;
  std::unique_ptr<TLegendRow> GroupHeaderRow;
  std::unique_ptr<TLegendRow> ColumnHeaderRow;
  std::unique_ptr<TPcbTrack> HeaderTopLine;
  std::unique_ptr<TPcbTrack> HeaderBottomLine;
  bool CopperHeight = false;
  bool Type = false;
  bool Gerbers = false;
  bool DielHeight = false;
  bool Material = false;
  bool Constant = false;
  bool ExtDielectrics = false;
  int32_t RowCount = 0;
  // The rectangle, normalised: X1 <= X2, Y1 <= Y2.
  int32_t X1 = 0;
  int32_t Y1 = 0;
  int32_t X2 = 0;
  int32_t Y2 = 0;
  // Writing position of the drawing pass.
  int32_t PenX = 0;
  int32_t PenY = 0;
  int32_t RectHeight = 0;
  int32_t RectWidth = 0;
  int32_t BodyTextSize = 0;
  int32_t BodyStrokeWidth = 0;
  int32_t HeaderTextSize = 0;
  int32_t HeaderStrokeWidth = 0;
  int32_t LineWidth = 0;
  // Longest text of each column: its character count and its width.
  std::array<int32_t, kLegendColumnCount> ColumnChars{};
  std::array<int32_t, kLegendColumnCount> ColumnWidths{};
  int32_t HeadBand = 0;
  int32_t PadLow = 0;
  int32_t Margin = 0;
  int32_t Pad = 0;
  int32_t PadHigh = 0;
  int32_t RowHeight = 0;
  int32_t BodyHeight = 0;
  int32_t InnerWidth = 0;
  int32_t ColumnGap = 0;
  int32_t MidLayerCounter = 1;
  int32_t PlaneCounter = 1;
  // When true at destruction, the shown primitives are handed to the board.
  bool Committed = false;

  // The title's size and stroke of the latest layout. A rectangle too small
  // for its header band gives a title size of zero or less; the title is
  // then neither placed, shown nor kept (TitlePlaced false), rather than
  // handing the editor a text of no size.
  int32_t TitleTextSize = 0;
  int32_t TitleStrokeWidth = 0;
  bool TitlePlaced = false;

 private:
  // Construction (LayerStackupLegend.cpp).
  void CreatePrimitives();
  std::unique_ptr<TPcbText> NewText(std::string_view text);
  std::unique_ptr<TPcbTrack> NewTrack();
  std::unique_ptr<TPcbArc> NewArc(double startAngle, double endAngle);
  std::unique_ptr<TLegendRow> NewFixedRow(const std::array<std::string_view, kLegendColumnCount>& words);
  void CreateStackRows();
  // Whether the column's option shows it (the name column always).
  bool ColumnShown(int column) const;
  // Whether a cell of `row` goes to the board at commit: it exists, its
  // column is shown and its string is not empty.
  bool KeepsCell(const TLegendRow& row, int column) const;
  void CommitRow(const TLegendRow& row);
  void Commit();
  void ReleaseRow(TLegendRow& row, bool keepAny);
  // Destroys every editor object the board did not receive. Safe on a
  // legend whose construction stopped half way.
  void Release();

  // Texts (LegendTexts.cpp).
  void WriteCell(TPcbText& text, std::string_view value);
  void FillLayerCells(TLegendRow& row, const TLayerObject& layer);
  void FillDielectricCells(TLegendRow& row, const TDielectricInfo& dielectric);
  void FillMaskCells(TLegendRow& row, const TDielectricInfo& dielectric);

  // Layout (LegendLayout.cpp).
  void ShowStatusTexts();

  // Drawing (LegendDrawing.cpp).
  void NewLine();
  void DrawFrame();
  void DrawHeader();
  void DrawLayerCells(TLegendRow& row, int32_t size, int32_t stroke);
  void DrawDielectricCells(TLegendRow& row, bool newLine, int32_t size, int32_t stroke);
  void DrawMaskCells(TLegendRow& row);
  void DrawTopMaskRow();
  void DrawBottomMaskRow();
  void SkipColumn(int column);
  void PlaceCell(TPcbText& text, int column, int32_t size, int32_t stroke);
  void PlaceText(TPcbText& text, int32_t x, int32_t y, int32_t size, int32_t stroke);
  void PlaceTrack(TPcbTrack& track, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void PlaceArc(TPcbArc& arc, int32_t x, int32_t y, int32_t radius);
  void DisplayRow(const TLegendRow& row, uint8_t mode, bool isMaskRow);

  // The stack row of each layer id, so that a refresh finds a layer's row
  // without searching.
  std::array<TLegendRow*, kLastLayer + 1> RowOfLayer{};
  // Reused by every refresh for the constant texts.
  std::string ScratchText;
};

}  // namespace strativue
