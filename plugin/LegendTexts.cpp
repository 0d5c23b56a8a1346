// The legend's cell texts, taken from the board, and the column measurements
// (longest text of each column and its width) the layout builds on.
#include <bit>
#include <charconv>
#include <string>

#include "plugin/LayerStackupLegend.h"
#include "plugin/LegendArithmetic.h"
#include "plugin/RTL/Messages.h"

namespace strativue {
namespace {

// Header words are placed at about the body size divided by this factor;
// their measured widths are scaled back by it.
constexpr double kHeaderScale = 1.4;

// The cell's text for `source`, made by `format` only when the source is not
// the one the text was last made from.
template <typename Format>
const std::string& FormattedText(TFormattedCell& cell, uint64_t source, Format&& format) {
  if (!cell.Made || cell.Source != source) {
    cell.Made = false;
    cell.Text = format();
    cell.Source = source;
    cell.Made = true;
  }
  return cell.Text;
}

const std::string& CoordinateText(TFormattedCell& cell, int32_t value, BoardUnit unit) {
  const uint64_t source = uint64_t{static_cast<uint32_t>(value)} << 8 | static_cast<uint8_t>(unit);
  return FormattedText(cell, source, [&] { return FormatCoordinate(value, unit); });
}

}  // namespace

void TLegendStackup::RefreshTexts() {
  MidLayerCounter = 1;
  PlaneCounter = 1;
  ColumnChars.fill(0);
  ColumnWidths.fill(0);

  // Each shown column starts with the longer of its two header words.
  for (int column = 0; column < kLegendColumnCount; ++column) {
    if (!ColumnShown(column)) continue;
    TPcbText& group = *GroupHeaderRow->Cell(column);
    TPcbText& names = *ColumnHeaderRow->Cell(column);
    MeasureCell(names.Text.length() > group.Text.length() ? names : group, column, true);
  }

  if (ExtDielectrics) FillMaskCells(*TopMaskRow, Board->TopDielectric);
  for (const TLayerObject* layer : Board->StackLayers()) {
    TLegendRow* row = RowOfLayer[layer->LayerId];
    if (!row) continue;
    FillLayerCells(*row, *layer);
    FillDielectricCells(*row, layer->Dielectric);
  }
  if (ExtDielectrics) FillMaskCells(*BottomMaskRow, Board->BottomDielectric);
}

void TLegendStackup::WriteCell(TPcbText& text, std::string_view value) {
  text.Sync(qvabi::ReadMode);
  text.SetText(value);
  text.Sync(qvabi::WriteMode);
}

void TLegendStackup::FillLayerCells(TLegendRow& row, const TLayerObject& layer) {
  WriteCell(*row.NameText, layer.Name.view());
  MeasureCell(*row.NameText, kNameColumn, false);
  if (Gerbers) {
    ScratchText.assign("(.");
    ScratchText += GerberExtension(layer.LayerId);
    ScratchText += ')';
    WriteCell(*row.GerberText, ScratchText);
    MeasureCell(*row.GerberText, kGerberColumn, false);
  }
  if (CopperHeight) {
    WriteCell(*row.CopperText, CoordinateText(row.CopperFormat, layer.CopperThickness, Board->Unit()));
    MeasureCell(*row.CopperText, kCopperColumn, false);
  }
}

// A row is skipped because it has no dielectric texts, whatever its layer
// id: the last row of the walk need not be the bottom layer's.
void TLegendStackup::FillDielectricCells(TLegendRow& row, const TDielectricInfo& dielectric) {
  if (!row.HasDielectricTexts()) return;
  if (Type) {
    WriteCell(*row.TypeText, DielectricTypeText(dielectric.DielectricType));
    MeasureCell(*row.TypeText, kTypeColumn, false);
  }
  if (Material) {
    WriteCell(*row.MaterialText, dielectric.Material.view());
    MeasureCell(*row.MaterialText, kMaterialColumn, false);
  }
  if (DielHeight) {
    WriteCell(*row.HeightText, CoordinateText(row.HeightFormat, dielectric.Height, Board->Unit()));
    MeasureCell(*row.HeightText, kHeightColumn, false);
  }
  if (Constant) {
    const auto constant = static_cast<float>(dielectric.Constant);
    WriteCell(*row.ConstantText, FormattedText(row.ConstantFormat, std::bit_cast<uint32_t>(constant),
                                               [&] { return FormatTwoDecimals(constant); }));
    MeasureCell(*row.ConstantText, kConstantColumn, false);
  }
}

// The name and Gerber words of a mask row are fixed; it has no copper cell.
void TLegendStackup::FillMaskCells(TLegendRow& row, const TDielectricInfo& dielectric) {
  MeasureCell(*row.NameText, kNameColumn, false);
  if (Gerbers) MeasureCell(*row.GerberText, kGerberColumn, false);
  FillDielectricCells(row, dielectric);
}

std::string TLegendStackup::GerberExtension(TLayerId layerId) {
  const auto numbered = [](std::string_view prefix, int32_t number) {
    char buffer[16];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, number).ptr;
    std::string text(prefix);
    text.append(buffer, end);
    return text;
  };
  if (layerId == kTopLayer) return "GTL";
  if (layerId == kBottomLayer) return "GBL";
  if (layerId > kTopLayer && layerId < kBottomLayer) return numbered("G", MidLayerCounter++);
  if (layerId >= kInternalPlane1 && layerId <= kInternalPlane16) return numbered("GP", PlaneCounter++);
  return {};
}

// Codes beyond the known four get no text rather than a guessed one.
std::string_view TLegendStackup::DielectricTypeText(uint8_t typeCode) {
  switch (typeCode) {
    case 0:
    case 1:
      return "Core";
    case 2:
      return "PrePreg";
    default:
      return {};
  }
}

void TLegendStackup::MeasureCell(TPcbText& text, int column, bool scaled) {
  const auto chars = static_cast<int32_t>(text.Text.length());
  // The first of several equally long texts keeps the column.
  if (chars <= ColumnChars[column]) return;
  ColumnChars[column] = chars;
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  text.GetBoundingRect(x1, y1, x2, y2);
  const int64_t width = int64_t{x2} - x1;
  ColumnWidths[column] =
      scaled ? legend::Round32(static_cast<double>(width) * kHeaderScale) : legend::Clamp32(width);
}

}  // namespace strativue
